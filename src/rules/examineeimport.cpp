#include "rules/examineeimport.h"

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

// Keeps the oldest row of each name, department and position (NULL equal to NULL, as in
// a grouping); each row asks the index for an older twin instead of the whole table
// being grouped.
QString DuplicateRemoval() {
    return QStringLiteral(
        "delete from examinee where exists(select 1 from examinee o where o.姓名 is examinee.姓名 "
        "and o.部门 is examinee.部门 and o.职务 is examinee.职务 and o.ID<examinee.ID)");
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
    return RetryConflicts([&]() -> Outcome {
        Outcome outcome;
        CADOConn conn;
        if (!conn.OpenDatabase(schema::kPersonnelFile)) {
            outcome.error = conn.LastError();
            return outcome;
        }
        try {
            CTransaction transaction(conn);
            if (!transaction.IsActive()) {
                outcome.error = QStringLiteral("the database is busy");
                return outcome;
            }
            // Appending needs none of the rows already there.
            auto rs = conn.OpenRecordset(QStringLiteral("select * from examinee where 0"),
                                         schema::kPersonnelFile);
            for (const Examinee& e : rows) {
                rs->AddNew();
                rs->PutCollect("姓名", e.name);
                rs->PutCollect("部门", e.department);
                rs->PutCollect("职务", e.position);
                rs->Update();
            }
            outcome = import_workbook::RemoveAndCommit(
                conn, transaction, schema::kPersonnelFile, QStringLiteral("examinee"),
                {DuplicateRemoval(), QStringLiteral("delete from examinee where 姓名 is null")},
                int(rows.size()));
        } catch (const DatabaseError& e) {
            outcome.error = QString::fromUtf8(e.what());
        }
        return outcome;
    });
}

}  // namespace examinee_import
