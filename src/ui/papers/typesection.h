#pragma once

#include <QGroupBox>
#include <QList>
#include <functional>

#include "rules/papers.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// One question type's section of the paper composition screen: the rule being entered
// (difficulty, available questions, points, draw count, subtotal), the section's rule
// text with its count and total, and the buttons that add a rule or clear. The five
// sections of the screen are five of these.
class CTypeSection : public QGroupBox {
    Q_OBJECT
public:
    // What the screen's upper area holds when a rule is counted or added.
    struct Choice {
        QString mode;
        QString subject;
        QString group;
    };
    using ChoiceSource = std::function<Choice()>;

    // The draw count of 问答题 takes any text; the others take digits only.
    CTypeSection(const QString& type, ChoiceSource choice, QWidget* parent);

    const QString& Type() const { return m_type; }
    papers::SectionState State() const;

    // Counts the available questions again when a difficulty is chosen (after the
    // subject or the target group changed).
    void RecountAvailable();
    // Empties the rule being entered; the points stay while they are fixed.
    void ClearRuleInputs();
    // Empties the rule text, count and total and hides the count.
    void ResetSection();
    // Makes the points editable again and empties them.
    void ReleasePoints();
    // Everything back to the state of a fresh screen.
    void ResetAll();

signals:
    // A rule was added: the subject is fixed from now on.
    void RuleAdded();

private:
    void BuildControls(bool digitsOnlyCount);
    void CountAvailable();
    void PointsEdited();
    void CountEdited();
    void UpdateSubtotal();
    void AddRule();
    void ShowCount(bool shown);

    QString m_type;
    ChoiceSource m_choice;
    QString m_ruleText;
    QList<int> m_counts;  // the draw count of every rule, in the order added

    QComboBox* m_difficulty;
    QLineEdit* m_available;  // 题数
    QLineEdit* m_subtotal;   // 分数
    QLineEdit* m_points;     // 分值
    QLineEdit* m_count;      // 抽取
    QLineEdit* m_total;      // 总分
    QPlainTextEdit* m_rules;
    QLabel* m_questionsLabel;
    QLineEdit* m_questions;
    QPushButton* m_clearSection;
};
