#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// How a drawn paper is laid out as printed text: one section per question type, its
// questions with their options and its reference answers, each section numbered.
namespace printed {

// One drawn question as the printed paper needs it (NULL columns read as empty).
struct Question {
    QString stem;
    QStringList options;  // A … E, five entries
    QString points;       // the stored 分值 text
    QString answer;
};

// A section's two texts, "\n" ending each line; both empty for a type without questions.
struct SectionText {
    QString answers;
    QString questions;
};

// The widest option, in GBK bytes, that still shares its line with another.
constexpr int kOptionColumn = 42;

// The byte length of a text in the data files' code page (a Chinese character is 2).
int GbkLength(const QString& text);

// The leading number of a text, as the C library's atof reads it ("31.0分" is 31; no
// number is 0).
double LeadingNumber(const QString& text);

// The option lines of a choice question: two options a line when none is longer than
// kOptionColumn bytes once spaces are removed, the first padded to that column, else one
// a line. E appears only when it is not empty.
QString OptionLines(QStringList options);

// One type's section in the order of its rows: the questions numbered from 1 under the
// heading type + "（每题…分，共…分）", and the reference answers after the type's name.
SectionText LayoutSection(const QString& type, const QList<Question>& questions);

// Puts 一、二、… in front of both texts of every section that has questions, in order;
// a section without questions uses up no numeral.
void NumberSections(QList<SectionText>& sections);

// The printed lines around the sections.
QString ExamineeLine();
QString MarksLine(double fullMarks, const QString& minutes, const QString& passMark);
QString AnswerKeyHeading();

}  // namespace printed
