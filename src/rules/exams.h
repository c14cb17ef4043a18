#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "rules/examinees.h"

// Arranging exams: creating an exam with its registrations and counter row, the bank
// check of its paper, listing and ending exams, the checks of an exam's registrations,
// adding and removing examinees, deleting an exam. Every write of more than one row runs
// in one transaction; database failures raise DatabaseError.
namespace exams {

// A stored paper as the creation screen lists it.
struct PaperRow {
    QString name, subject, total, fullMarks, created;
};
struct PaperListing {
    std::vector<PaperRow> papers;  // up to and including a tampered one
    bool tampered = false;
};
// The exampaper rows in table order, each verified by its save code; stops at the first
// mismatch.
PaperListing ListPapers();

// What the creation screen gathers before 保存.
struct ExamForm {
    QString name;
    QString timeLimit;  // minutes
    QString paperName;  // empty while no paper is ticked
    QString fullMarks;  // of the ticked paper
    QString passMark;
    QDateTime start, end;
};

// The refusal of 保存 in the order the checks run ("请输入考试名称！" …), or an empty
// text when the exam may be created. Reads ExamArrange for the name check.
QString CreationRefusal(const ExamForm& form, int examineeCount);

// Writes the exam, one registration per distinct examinee (first occurrence kept, list
// order) and, when there is one, the counter row, all or nothing. Returns the new exam
// number, taken from the row just inserted.
qlonglong CreateExam(const ExamForm& form, const std::vector<Examinee>& examinees);

// A rule of the paper the bank cannot fill.
struct Shortfall {
    QString type, group, difficulty;
    QString subject;  // empty for every subject
    int needed = 0;
    qint64 available = 0;
};
struct BankCheck {
    bool noRules = false;     // the paper has no rule row to draw by
    QStringList brokenTypes;  // rule texts that cannot be read
    std::vector<Shortfall> shortfalls;
    bool Sufficient() const { return !noRules && brokenTypes.isEmpty() && shortfalls.empty(); }
};
// Counts, for every rule of the paper (every subject row of a 多科 paper), the bank rows
// the draw would choose from.
BankCheck CheckBank(const QString& paperName);
// The question put to the administrator when the bank falls short.
QString ShortfallQuestion(const BankCheck& check);

// An exam as the management screen lists it.
struct ArrangedExam {
    QString number, name, start, end, paperName, state, passMark;
};
struct ExamListing {
    std::vector<ArrangedExam> exams;
    bool tampered = false;  // an exam's save code did not match; listing stopped there
};
// Lists every exam in table order. An open exam whose end is at or before now is ended
// (时效 "结束" and its code rewritten) once its stored code has been found intact, so
// that the ending never re-signs an edited row.
ExamListing ListExams(const QDateTime& now);

// Names of the examinees without a registration in the exam, one per examinee.
QStringList UnregisteredNames(const QString& examNo);
// The first such examinee with that name (empty fields when none).
Examinee FirstUnregistered(const QString& examNo, const QString& name);
// What both run: the exam number, then for one name the name.
QString UnregisteredStatement(bool oneName);

struct Registration {
    qlonglong id = 0;
    Examinee person;
    bool scored = false;
};
enum class RegistrationVerdict {
    Listed,
    NoExams,            // ExamArrange is empty: nothing to show
    CountersMissing,    // JoinExam is empty
    CounterRowsWrong,   // not exactly one JoinExam row for the exam
    CountMismatch,      // 考生质量 differs from the registrations
    EnrolmentTampered,  // an open registration's code does not match
};
struct RegistrationListing {
    RegistrationVerdict verdict = RegistrationVerdict::Listed;
    std::vector<Registration> registrations;
};
// The registrations of an exam in table order, with the counter and enrolment checks.
RegistrationListing CheckRegistrations(const QString& examNo);
// The same without any check.
std::vector<Registration> ListRegistrations(const QString& examNo);
// The message that ends the program for a failed check (empty for Listed and NoExams).
QString VerdictMessage(RegistrationVerdict verdict);

// Removes an open registration and moves both counters down, together. A scored
// registration is never removed: false.
bool RemoveRegistration(qlonglong registrationId, const QString& examNo);

enum class AddOutcome { Added, ExamEnded };
// Registers the examinee and moves both counters up, together, unless the exam is ended.
AddOutcome AddRegistration(const QString& examNo, const QString& passMark,
                           const Examinee& examinee);

// Deletes the exam, its registrations, its counter row and its stored essay answers, all
// or nothing.
void DeleteExam(const QString& examNo);
// Its deletion of the essay answers, by exam number.
inline const char* const kDeleteEssayAnswers = "delete from quesAndAns where 考试号=?";

}  // namespace exams
