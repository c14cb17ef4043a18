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

// After `read` rows were stored in `table` of `file` within `transaction`: runs `remove`
// (duplicates, incomplete rows; false when it failed), counts what it removed and
// commits. The outcome says what happened; on any failure nothing is stored.
Outcome RemoveAndCommit(CADOConn& conn, CTransaction& transaction, const QString& file,
                        const QString& table, const std::function<bool()>& remove, int read);

// Runs each statement in turn; false at the first that fails.
bool ExecuteAll(CADOConn& conn, const QString& file, const QStringList& statements);

// "导入数据%d条，已删除%d条重复数据！"
QString OutcomeMessage(const Outcome& outcome);

}  // namespace import_workbook
