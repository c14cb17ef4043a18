#pragma once

#include <QString>
#include <vector>

#include "rules/examinees.h"
#include "rules/importworkbook.h"

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

using Outcome = import_workbook::Outcome;

// Stores the rows in personnel.mdb, then removes every duplicate examinee of the table
// (keeping the oldest row of each triple), all in one transaction.
Outcome StoreExaminees(const std::vector<Examinee>& rows);
// The walk that finds the duplicates: every examinee in key order, twins side by side.
inline const char* const kExamineesInKeyOrder =
    "select ID,姓名,部门,职务 from examinee order by 姓名,部门,职务,ID";

using import_workbook::OutcomeMessage;

}  // namespace examinee_import
