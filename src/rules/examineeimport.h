#pragma once

#include <QString>
#include <vector>

#include "rules/examinees.h"

struct Worksheet;

// Bulk registration of examinees from the sheet "Sheet1" of a workbook.
namespace examinee_import {

QString SheetName();  // "Sheet1"

// What the sheet would store: its complete rows, or the message that refuses it.
struct Plan {
    QString refusal;  // empty when the rows can be stored
    std::vector<Examinee> rows;
};

// Checks the header ("姓名", "部门", "职务" and nothing else, in this order), keeps the
// rows whose three cells are all filled, and refuses the whole sheet when any of them
// holds a ';' — nothing of a refused sheet is stored.
Plan PlanImport(const Worksheet& sheet);

struct Outcome {
    bool stored = false;
    int read = 0;     // complete rows stored
    int removed = 0;  // duplicates removed afterwards
    QString error;    // why nothing was stored
};

// Stores the rows in personnel.mdb, then removes every duplicate examinee of the table
// (keeping the oldest row of each triple), all in one transaction.
Outcome StoreExaminees(const std::vector<Examinee>& rows);

// "导入数据%d条，已删除%d条重复数据！"
QString OutcomeMessage(const Outcome& outcome);

}  // namespace examinee_import
