#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class CADOConn;
class CTransaction;

// What the two imports (examinees, questions) share.
namespace import_workbook {

// Which files the imports take: a workbook whose name is the import's base name with
// ".xls" or ".xlsx" (for instance "examinee.xls" or "examinee.xlsx"). The content, not
// the ending, decides how it is read.

bool IsAcceptedName(const QString& path, const QString& baseName);

// The filter of the file dialogs that pick a workbook.
QString FileDialogFilter();

// What an import stored, in one transaction.
struct Outcome {
    bool stored = false;
    int read = 0;     // rows stored
    int removed = 0;  // rows removed afterwards (duplicates, incomplete rows)
    QString error;    // why nothing was stored
};

// Stores an import in one transaction of `file`: `store` writes the `read` rows, `remove`
// takes out duplicates and incomplete rows (each false when the database refused), and
// what the removal took from `table` is counted before the commit. On any failure nothing
// is stored and the outcome says why.
Outcome StoreInOneTransaction(const QString& file, const QString& table, int read,
                              const std::function<void(CADOConn&)>& store,
                              const std::function<void(CADOConn&)>& remove);

// "导入数据%d条，已删除%d条重复数据！"
QString OutcomeMessage(const Outcome& outcome);

}  // namespace import_workbook
