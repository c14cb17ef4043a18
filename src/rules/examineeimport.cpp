#include "rules/examineeimport.h"

#include <string>

#include "data/adoconn.h"
#include "data/schema.h"
#include "data/workbook.h"

namespace examinee_import {
namespace {

enum Column { kName, kDepartment, kPosition };

QString SemicolonRefusal(const Examinee& e) {
    if (e.name.contains(';')) return QStringLiteral("考生姓名中不能含有';'！");
    if (e.department.contains(';')) return QStringLiteral("部门名称中不能含有';'！");
    if (e.position.contains(';')) return QStringLiteral("职务名称中不能含有';'！");
    return QString();
}

// One column of an examinee's key as the walk below compares it: NULL apart from every text.
struct KeyPart {
    bool null = true;
    std::string utf8;
    bool Is(const CRowReader& row, int column) const {
        return row.IsNull(column) ? null : !null && row.Utf8(column) == utf8;
    }
    void Take(const CRowReader& row, int column) {
        null = row.IsNull(column);
        const QByteArrayView bytes = row.Utf8(column);
        utf8.assign(bytes.data(), size_t(bytes.size()));
    }
};

// Removes every examinee who repeats the name, department and position of an older one
// (NULL equal to NULL, as in a grouping), keeping the oldest. One walk of the examinees in
// key order finds them: twins are neighbours there, the oldest first.
void RemoveTwins(CADOConn& conn) {
    std::vector<qint64> twins;
    KeyPart name, department, position;
    bool first = true;
    conn.ForEachRow(kExamineesInKeyOrder, schema::kPersonnelFile, {}, [&](const CRowReader& row) {
        if (!first && name.Is(row, 1) && department.Is(row, 2) && position.Is(row, 3)) {
            twins.push_back(row.Integer("ID"));
            return;
        }
        first = false;
        name.Take(row, 1);
        department.Take(row, 2);
        position.Take(row, 3);
    });
    for (const qint64 id : twins)
        conn.ExecuteStatement(QStringLiteral("delete from examinee where ID=?"),
                              schema::kPersonnelFile, {id});
}

}  // namespace

QString SheetName() {
    return QStringLiteral("Sheet1");
}

Plan PlanImport(const Worksheet& sheet) {
    Plan plan;
    QString joined;
    for (const QString& column : sheet.header) joined += column + '|';
    if (joined != QStringLiteral("姓名|部门|职务|")) {
        plan.refusal = QStringLiteral("Excel考生表没有按照模板要求输入，导入失败！");
        return plan;
    }
    for (const WorksheetRow& row : sheet.rows) {
        if (!row.Has(kName) || !row.Has(kDepartment) || !row.Has(kPosition)) continue;
        Examinee e{row.Cell(kName), row.Cell(kDepartment), row.Cell(kPosition)};
        const QString refusal = SemicolonRefusal(e);
        if (!refusal.isEmpty()) return Plan{refusal, {}};
        plan.rows.push_back(std::move(e));
    }
    if (plan.rows.empty()) plan.refusal = QStringLiteral("导入表格无数据！");
    return plan;
}

Outcome StoreExaminees(const std::vector<Examinee>& rows) {
    const QString file = schema::kPersonnelFile;
    return import_workbook::StoreInOneTransaction(
        file, QStringLiteral("examinee"), int(rows.size()),
        [&](CADOConn& conn) {
            const QString insert =
                QStringLiteral("insert into examinee(姓名,部门,职务) values(?,?,?)");
            for (const Examinee& e : rows)
                conn.ExecuteStatement(insert, file, {e.name, e.department, e.position});
        },
        [&](CADOConn& conn) {
            RemoveTwins(conn);
            conn.ExecuteStatement(QStringLiteral("delete from examinee where 姓名 is null"), file);
        });
}

}  // namespace examinee_import
