#pragma once

#include <QDialog>
#include <vector>

#include "rules/examinees.h"

class CCheckList;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QTimeEdit;

// Exam creation: a stored paper, a time window, a time limit and a pass mark for the
// examinees gathered in the right list.
class CCreateExam : public QDialog {
    Q_OBJECT
public:
    explicit CCreateExam(QWidget* parent = nullptr);

    CCheckList* PaperList() const { return m_papers; }
    CCheckList* LeftList() const { return m_left; }
    CCheckList* RightList() const { return m_right; }

    // The examinee columns of the left and right lists (0 is the tick box).
    enum ExamineeColumn { kName = 1, kDepartment, kPosition };
    // The paper list's columns.
    enum PaperColumn { kPaperName = 1, kSubject, kTotal, kFullMarks, kCreated };

private:
    void BuildControls();
    void LoadPapers();
    void OnPaperTicked();
    void ShowExaminees();
    void MoveRight();
    void DeleteFromRight();
    void ClearChoice();
    void Save();
    std::vector<Examinee> RightExaminees() const;

    QLineEdit* m_examName;    // 1146
    QDateEdit* m_startDate;   // 1141
    QTimeEdit* m_startTime;   // 1143
    QDateEdit* m_endDate;     // 1149
    QTimeEdit* m_endTime;     // 1152
    CCheckList* m_papers;     // 1158
    QLabel* m_paperCaption;   // 1213
    QLabel* m_paperName;      // 1189
    QLineEdit* m_timeLimit;   // 1187
    QLineEdit* m_passMark;    // 1188
    QComboBox* m_department;  // 1153
    QComboBox* m_position;    // 1155
    CCheckList* m_left;       // 1160
    CCheckList* m_right;      // 1163
    QString m_chosenPaper;
    QString m_chosenFullMarks;
};
