#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

#include "rules/assembly.h"

// Exam selection: the open exams an examinee may enter, the checks of the ticked exam's
// paper and the draw of his paper into the scratch table `exam` of personnel.mdb.
// Failures to read or write raise DatabaseError.
namespace selection {

// An open registration whose exam has started, as the selection list shows it.
struct OpenExam {
    QString examNo, examName, start, end;
    bool ended = false;  // the end time has passed
    QString timeLimit, passMark, paperName, subjectMode;
    // The registration being listed: a second registration of the same examinee for the
    // same exam must not receive this one's result.
    QString registrationId;
};

enum class Refusal {
    None,
    DatabaseTampered,  // a registration's code, or the exam's counter row
    CountersChanged,   // the counters disagree with the registrations
    ExamMissing,       // the registration names no arranged exam
    ExamTampered,      // the exam's save code does not match
    PaperMissing,      // the exam's paper is gone
};

struct Listing {
    std::vector<OpenExam> exams;  // those listed before a refusal stopped the listing
    Refusal refusal = Refusal::None;
    QString paperName;  // the missing paper
};

// What the listing runs: the examinee's unscored registrations (name, department,
// position), the number of registrations of an exam (counted), and its counter row.
inline const char* const kOpenRegistrations =
    "select * from ExamRegister where 姓名=? and 部门=? and 职务=? and 成绩 is null";
inline const char* const kRegistrationsOfExam = "ExamRegister where 考试号=?";
inline const char* const kCountersOfExam = "select * from JoinExam where 考试号=?";

// Verifies every unscored registration of the examinee and lists its exam when it has
// started by `now`; stops at the first registration that fails a check.
Listing ListExams(const QString& name, const QString& department, const QString& position,
                  const QDateTime& now);
// What the examinee is told (empty when nothing was refused), and whether the program ends.
QString RefusalMessage(const Listing& listing);
bool EndsProgram(Refusal refusal);

enum class PaperCheck {
    Ready,
    Deleted,   // no exampaper row of that name
    Tampered,  // its save code does not match
    NoExams,   // no exam is arranged at all: nothing is said
};
PaperCheck CheckPaper(const QString& paperName);
QString CheckMessage(PaperCheck check);

// The draw pool (interim of personnel.mdb), empty for each visit of exam selection.
void CreateEmptyPool();
void DropPool();

// Draws the paper into an emptied `exam` (see assembly::AssemblePaper); the pool goes once
// the paper is drawn and stays for another try otherwise.
assembly::AssemblyResult DrawPaper(const QString& subjectMode, const QString& paperName,
                                   assembly::RandomSource& random, const QString& registrationId);

}  // namespace selection
