#include "rules/batchinsert.h"

#include "data/adoconn.h"

namespace {
// Keeps a statement's parameters well below both engines' limits.
constexpr size_t kRowsPerStatement = 64;
}  // namespace

void InsertRows(CADOConn& conn, const QString& file, const QString& table,
                const QStringList& columns, const std::vector<QVariantList>& rows) {
    const QString head = "insert into " + table + "(" + columns.join(',') + ") values";
    QString marks = QStringLiteral("(");
    for (int i = 0; i < columns.size(); ++i)
        marks += i ? QStringLiteral(",?") : QStringLiteral("?");
    marks += ')';
    for (size_t first = 0; first < rows.size(); first += kRowsPerStatement) {
        const size_t last = std::min(rows.size(), first + kRowsPerStatement);
        QString sql = head;
        QVariantList params;
        for (size_t i = first; i < last; ++i) {
            sql += (i == first ? QStringLiteral(" ") : QStringLiteral(",")) + marks;
            params += rows[i];
        }
        conn.ExecuteStatement(sql, file, params);
    }
}
