#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include "rules/examticket.h"

// A drawn paper put straight into the scratch table `exam` of personnel.mdb, as exam
// selection leaves it for the exam window.
struct DrawnQuestion {
    QString type;
    QString stem;
    QString reference;
    QString points;
    QStringList options;  // A–E; fewer leave the rest NULL
    QString picture;      // empty for none
};

// Every type: two 单选题 (the first with a picture, the second with five options), a
// 判断题, a one-blank and a two-blank 填空题, a 多选题 and a 问答题.
QVector<DrawnQuestion> SamplePaper();
// Creates `exam` afresh with the questions numbered 1 … n and writes the picture files
// they name; returns the answer key.
QString DrawIntoExamTable(const QVector<DrawnQuestion>& questions);
// A ticket for the first registration of the sample exam.
ExamTicket TicketFor(const QString& answerKey, const QString& timeLimit = QStringLiteral("60"));

// Reading back what the window stored.
QVariant StoredAnswer(int number);
bool ExamTableExists();
