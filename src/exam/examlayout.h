#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>
#include <array>

// Where the exam window puts its controls on a screen of W × H pixels. The question
// column starts at three tenths of the width; the navigation panel sits left of it.
class ExamLayout {
public:
    explicit ExamLayout(const QSize& screen) : W(screen.width()), H(screen.height()) {}

    QRect ExamName() const;
    QRect Clock() const;
    QRect SectionNumeral() const;
    QRect QuestionNumber() const;
    QRect TypeAndPoints() const;
    QRect TimeLimit() const;
    QRect QuestionText() const;
    QRect OptionsLabel() const;
    QRect Remaining() const;
    QRect Start() const;
    QRect Rules() const;
    QRect Blank1Label() const;  // also the essay's "答："
    QRect Blank1() const;
    QRect Blank2Label() const;
    QRect Blank2() const;
    QRect Essay() const;
    QRect TrueLetter() const;
    QRect FalseLetter() const;
    QRect TrueButton() const;
    QRect FalseButton() const;
    QRect Option(int i) const;  // radio buttons and check boxes A–E
    QRect OptionLetter(int i) const;
    QRect Previous() const;  // also 返回
    QRect Next() const;
    QRect HandIn() const;        // also 退出
    QRect ServerNotice() const;  // below the buttons, while the server is away
    // Review mode: the examinee's and the reference answer of an option question, and
    // the reference answer of a fill-in or essay question.
    QRect YourAnswer() const;
    QRect OptionReference() const;
    QRect TextReference() const;
    // The area left of the question column that holds the navigation panel.
    QRect Panel() const;

private:
    int W, H;
};

// The navigation panel: one section per question type that has questions, in the order
// of the types, numbered among the present sections; five numbers to a row.
struct PanelSection {
    int typeIndex;    // into qtype::Names()
    QString heading;  // "一、单选题"
    QRect headingRect;
    int firstNumber;         // question number of the section's first question
    QVector<QRect> numbers;  // one label per question
};
QVector<PanelSection> LayoutPanel(const std::array<int, 5>& countsByType);
// Rows a section of c questions takes: its heading and its rows of five.
int PanelRows(int questions);
