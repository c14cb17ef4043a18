#pragma once

#include <QLabel>
#include <QVector>
#include <QWidget>
#include <array>

// The mark drawn over a question number.
enum class NumberMark {
    None,
    Answered,   // red strike-through while answering
    Essay,      // review: green line, graded by hand later
    Right,      // review: green tick
    HalfRight,  // review: green tick with a red stroke
    Wrong,      // review: red cross (also unanswered)
};

// One question number of the panel; a click asks to show that question.
class CNumberLabel : public QLabel {
    Q_OBJECT
public:
    CNumberLabel(int number, QWidget* parent);
    int Number() const { return m_number; }
    NumberMark Mark() const { return m_mark; }
    void SetMark(NumberMark mark);

signals:
    void clicked(int number);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_number;
    NumberMark m_mark = NumberMark::None;
};

// The section headings and question numbers left of the question column. Grows and
// scrolls with its container when a paper has more questions than the screen holds.
class CNavigationPanel : public QWidget {
    Q_OBJECT
public:
    CNavigationPanel(const std::array<int, 5>& countsByType, const QFont& font, QWidget* parent);

    int QuestionCount() const { return int(m_numbers.size()); }
    CNumberLabel* NumberLabel(int number) const;
    // Marks, by question number (index 0 is question 1); missing entries clear.
    void SetMarks(const QVector<NumberMark>& marks);

signals:
    void numberClicked(int number);

private:
    QVector<CNumberLabel*> m_numbers;
};
