#include "rules/importworkbook.h"

#include <QFileInfo>

#include "data/adoconn.h"

namespace import_workbook {

bool IsAcceptedName(const QString& path, const QString& baseName) {
    const QString name = QFileInfo(path).fileName();
    return name == baseName + QStringLiteral(".xls") || name == baseName + QStringLiteral(".xlsx");
}

QString FileDialogFilter() {
    return QStringLiteral("所有文件(*.*);;Excel(*.xls *.xlsx)");
}

Outcome RemoveAndCommit(CADOConn& conn, CTransaction& transaction, const QString& file,
                        const QString& table, const std::function<bool()>& remove, int read) {
    Outcome outcome;
    const qint64 before = conn.CountRows(table, file);
    if (!remove()) {
        outcome.error = conn.LastError();
        return outcome;
    }
    const qint64 after = conn.CountRows(table, file);
    if (!transaction.Commit()) {
        outcome.error = conn.LastError();
        return outcome;
    }
    outcome.stored = true;
    outcome.read = read;
    outcome.removed = int(before - after);
    return outcome;
}

bool ExecuteAll(CADOConn& conn, const QString& file, const QStringList& statements) {
    for (const QString& sql : statements)
        if (!conn.ExecuteStatement(sql, file)) return false;
    return true;
}

QString OutcomeMessage(const Outcome& outcome) {
    return QStringLiteral("导入数据%1条，已删除%2条重复数据！")
        .arg(outcome.read)
        .arg(outcome.removed);
}

}  // namespace import_workbook
