#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// How the examinee's answers are kept in exam.答题, and how fill-in answers are echoed
// into the question text.
namespace answers {

// The answer key of a drawn paper, every reference answer followed by "|", as a list
// (the reference of question n at index n − 1).
QStringList SplitAnswerKey(const QString& key);

// The option letters "A" … "E".
QString OptionLetter(int index);

// 单选题 and 判断题: the letter of the chosen option; nullopt keeps the stored answer.
std::optional<QString> ChoiceAnswer(int chosenIndex);  // -1 when nothing is chosen
// 多选题: the ticked letters in order A–E; fewer than two ticked keeps the stored answer.
std::optional<QString> MultipleChoiceAnswer(const QVector<bool>& ticked);
// 问答题: the text with CR LF line breaks; an empty text keeps the stored answer.
std::optional<QString> EssayAnswer(const QString& typed);
// The stored essay as an edit shows it (LF line breaks).
QString EssayForDisplay(const QString& stored);

// 填空题: blank 1; "#" + blank 2; or blank 1 + "#" + blank 2. Both empty is an empty
// text, stored as NULL.
QString FillInAnswer(const QString& blank1, const QString& blank2);
struct Blanks {
    QString first, second;
};
// The stored fill-in answer back into its two blanks (split at the first "#").
Blanks SplitFillIn(const QString& stored);

// The characters a blank may not hold, since they mark blanks in the question text
// and separate the stored blanks: "【", "】" and "#".
QString CleanBlank(const QString& typed);
// The number of blank markers "【" in a fill-in question text.
int BlankMarkerCount(const QString& questionText);

// A run of the question text, in UTF-16 code units from its start.
struct Span {
    int start = 0;
    int end = 0;
    bool isEmpty() const { return end <= start; }
    bool operator==(const Span& o) const { return start == o.start && end == o.end; }
};

struct Echo {
    QString text;  // the question text as shown (CR LF as "\n") with the blanks written in
    Span first, second;
};

// Writes the typed blanks into the question text: each blank's "【…】" becomes "【 text 】"
// (two spaces while the blank is empty), the first blank at the first "【", the second at
// the first "【" after the first "】". The spans cover the inserted text with its two
// spaces and are empty for an empty blank. A blank without its closing "】" keeps the
// rest of the text after the inserted answer.
Echo EchoBlanks(const QString& questionText, const QString& blank1, const QString& blank2);

}  // namespace answers
