#pragma once

#include <QDialog>
#include <vector>

#include "rules/grading.h"

class CCheckList;
class QLineEdit;
class QPlainTextEdit;

// Grading essay answers by hand: the grader ticks one stored answer, reads the
// question, the reference and the examinee's answer, and awards points, which join the
// examinee's score. When no answer is left the score query follows.
class CHandworkCorrect : public QDialog {
    Q_OBJECT
public:
    explicit CHandworkCorrect(QWidget* parent = nullptr);

    CCheckList* AnswerList() const { return m_list; }

private:
    void BuildControls();
    void FillList();
    void ShowChosen();
    void ClearTexts();
    void Confirm();

    CCheckList* m_list;                           // 1269
    QPlainTextEdit* m_stem;                       // 1270
    QPlainTextEdit* m_reference;                  // 1271
    QPlainTextEdit* m_answer;                     // 1272
    QLineEdit* m_questionPoints;                  // 1273
    QLineEdit* m_awarded;                         // 1277
    std::vector<grading::EssayAnswer> m_answers;  // the list's rows
};
