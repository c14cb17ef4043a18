#include "rules/importworkbook.h"

#include <QFileInfo>

#include "data/adoconn.h"
#include "data/intransaction.h"

namespace import_workbook {

bool IsAcceptedName(const QString& path, const QString& baseName) {
    const QString name = QFileInfo(path).fileName();
    return name == baseName + QStringLiteral(".xls") || name == baseName + QStringLiteral(".xlsx");
}

QString FileDialogFilter() {
    return QStringLiteral("所有文件(*.*);;Excel(*.xls *.xlsx)");
}

Outcome StoreInOneTransaction(const QString& file, const QString& table, int read,
                              const std::function<void(CADOConn&)>& store,
                              const std::function<void(CADOConn&)>& remove) {
    Outcome outcome;
    try {
        // A server may make the import the loser of a conflict with another station's
        // write: it is run again from the start.
        outcome.removed = InTransaction(file, [&](CADOConn& conn) {
            store(conn);
            const qint64 before = conn.CountRows(table, file);
            remove(conn);
            return int(before - conn.CountRows(table, file));
        });
    } catch (const DatabaseError& e) {
        outcome.error = QString::fromUtf8(e.what());
        return outcome;
    }
    outcome.stored = true;
    outcome.read = read;
    return outcome;
}

QString OutcomeMessage(const Outcome& outcome) {
    return QStringLiteral("导入数据%1条，已删除%2条重复数据！")
        .arg(outcome.read)
        .arg(outcome.removed);
}

}  // namespace import_workbook
