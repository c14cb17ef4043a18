#pragma once

#include <QDialog>
#include <optional>

#include "rules/assembly.h"
#include "rules/examticket.h"

class DatabaseError;
class QComboBox;
class QLabel;
class QLineEdit;
class CCheckList;

// Exam selection: the examinee names himself, lists his open exams that have started,
// ticks one and enters it, which draws his paper.
class CExamLogin : public QDialog {
    Q_OBJECT
public:
    explicit CExamLogin(QWidget* parent = nullptr);

    // 查询考试: verifies every open registration of the examinee and lists its exam.
    void QueryExams();
    // 进入考试: checks the ticked exam and its paper, then draws the paper into exam.
    // The ticket for the exam window when the exam may be entered; nothing otherwise.
    std::optional<ExamTicket> EnterExam();

    CCheckList* ExamList() const { return m_exams; }

    enum Column {
        kTickColumn,
        kExamNoColumn,
        kExamNameColumn,
        kStartColumn,
        kEndColumn,
        kStateColumn,
        kTimeLimitColumn,
        kPassMarkColumn,
        kPaperColumn,
        kSubjectModeColumn,
        kRegistrationColumn,
        kColumnCount
    };

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What the ticked row says; all empty while no row is ticked.
    struct Selection {
        QString examName, state, timeLimit, paperName, subjectMode, registrationId;
        int passMark = 0;
    };

    void ClearOptions();
    void ListExams(const QString& name, const QString& department, const QString& position);
    void CopySelection();
    // The registration's unfinished sitting, once the exam administrator's password is given.
    std::optional<ExamTicket> ResumeSitting();
    void Notice(const QString& text);
    void ReportDatabaseError(const DatabaseError& error);

    QLineEdit* m_name;        // 1151
    QComboBox* m_department;  // 1172
    QComboBox* m_position;    // 1175
    CCheckList* m_exams;      // 1177
    QLabel* m_status;         // says so when a query finds no exam to take
    Selection m_selection;
    assembly::MersenneRandom m_random;
};
