#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "rules/importworkbook.h"

struct Worksheet;

// Bulk entry of questions of one type from the worksheet of that type in questions.xls.
namespace question_import {

// The column titles the sheet of a type must have, in order.
QStringList TitlesOf(const QString& type);
// "Excel单选题表没有按照模板要求输入，导入失败！" and its twins.
QString TitleRefusal(const QString& type);
// The prompt the import dialog shows before it starts.
QString Prompt();

struct Question {
    QString subject, type, stem, answer;
    QStringList options;  // A … E as the type has them; a null string where the cell is empty
    QString difficulty, group;
};

// What the sheet would store: its complete rows, or the message that refuses it.
struct Plan {
    QString refusal;  // empty when the rows can be stored
    std::vector<Question> rows;
};

// Checks the titles, keeps the rows whose 科目, 题型, 题干, 答案, 难度 and 对象 are all
// filled, removes blanks from the answers of every type but 问答题, and refuses the whole
// sheet when an option or an answer holds '|', which separates the answers at exam time.
Plan PlanImport(const Worksheet& sheet, const QString& type);

using Outcome = import_workbook::Outcome;

// Stores the rows in the bank table of the type, then keeps one question of every group
// of equal questions of the table (the oldest) and drops rows without 题型, all in one
// transaction. `progress` hears the number of rows stored so far, now and then.
Outcome StoreQuestions(const QString& type, const std::vector<Question>& rows,
                       const std::function<void(int stored)>& progress = {});

using import_workbook::OutcomeMessage;

}  // namespace question_import
