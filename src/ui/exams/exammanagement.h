#pragma once

#include <QDialog>
#include <vector>

#include "rules/exams.h"

class CCheckList;
class QComboBox;
class QLineEdit;

// Every arranged exam: listing (which ends the expired ones and verifies each), deleting
// an exam, its examinees with their checks, removing and adding single examinees.
class CExamManagement : public QDialog {
    Q_OBJECT
public:
    explicit CExamManagement(QWidget* parent = nullptr);

    CCheckList* ExamList() const { return m_exams; }
    CCheckList* ExamineeList() const { return m_examinees; }

    enum ExamColumn { kExamName = 2, kStart, kEnd, kPaper, kState, kExamNo, kPassMark };
    enum ExamineeColumn { kName = 2, kDepartment, kPosition, kStatus, kId };

private:
    void BuildControls();
    void ListExams();
    void Refresh();
    void OnExamTicked();
    void OnNameChosen();
    void DeleteExam();
    void ShowExaminees();
    void RemoveExaminees();
    void AddExaminee();
    void ClearAddFields();
    void FillExaminees(const std::vector<exams::Registration>& rows);
    void Forget();

    CCheckList* m_exams;         // 1156
    CCheckList* m_examinees;     // 1159
    QLineEdit* m_examNameShown;  // 1169
    QComboBox* m_addName;        // 1164
    QLineEdit* m_addDepartment;  // 1171
    QLineEdit* m_addPosition;    // 1180
    // The ticked exam.
    QString m_examNo, m_examName, m_passMark;
};
