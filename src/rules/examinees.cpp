#include "rules/examinees.h"

#include "data/adoconn.h"
#include "data/schema.h"

namespace examinees {
namespace {

// The list is built straight from the statement: a registry of 10⁵ names is not copied
// into a snapshot first.
std::vector<RegisteredExaminee> Query(const QString& sql, const QVariantList& params) {
    CADOConn conn;
    std::vector<RegisteredExaminee> rows;
    conn.ForEachRow(sql, schema::kPersonnelFile, params, [&rows](const CRowReader& row) {
        rows.push_back({row.Integer("ID"), {row.Text("姓名"), row.Text("部门"), row.Text("职务")}});
    });
    return rows;
}

void Execute(const QString& sql, const QVariantList& params = {}) {
    CADOConn conn;
    conn.ExecuteStatement(sql, schema::kPersonnelFile, params);
}

}  // namespace

std::optional<Statement> SearchStatement(const Examinee& c) {
    const bool name = !c.name.isEmpty(), department = !c.department.isEmpty(),
               position = !c.position.isEmpty();
    if (!name && !department && !position) return std::nullopt;
    const QString select = QStringLiteral("select * from examinee where ");
    if (name && department && position)
        return Statement{select + "姓名=? and 部门=? and 职务=?",
                         {c.name, c.department, c.position}};
    if (name && department) return Statement{select + "姓名=? and 部门=?", {c.name, c.department}};
    if (name && position) return Statement{select + "姓名=? and  职务=?", {c.name, c.position}};
    if (name) return Statement{select + "姓名=?", {c.name}};
    if (position) return Statement{select + "部门=? and 职务=?", {c.department, c.position}};
    return Statement{select + "部门=?", {c.department}};
}

std::vector<RegisteredExaminee> Search(const Statement& statement) {
    return Query(statement.sql, statement.params);
}

std::vector<RegisteredExaminee> ListAll() {
    return Query(QStringLiteral("select * from examinee"), {});
}

AddOutcome Add(const Examinee& e) {
    if (e.name.isEmpty() || e.department.isEmpty() || e.position.isEmpty())
        return AddOutcome::RejectedEmpty;
    if (e.name.contains(';')) return AddOutcome::RejectedSemicolon;
    CADOConn conn;
    auto rs = conn.OpenRecordset(
        QStringLiteral("select * from  examinee where 姓名=? and 部门=? and 职务=?"),
        schema::kPersonnelFile, {e.name, e.department, e.position});
    if (rs->RecordCount() > 0) return AddOutcome::Duplicate;
    rs->AddNew();
    rs->PutCollect("姓名", e.name);
    rs->PutCollect("部门", e.department);
    rs->PutCollect("职务", e.position);
    rs->Update();
    return AddOutcome::Added;
}

bool IsEmpty() {
    CADOConn conn;
    return conn.CountRows(QStringLiteral("examinee"), schema::kPersonnelFile) == 0;
}

void DeleteAll() {
    Execute(QStringLiteral("delete from examinee"));
}

void DeleteOne(qlonglong id) {
    Execute(QStringLiteral("delete from examinee where ID=?"), {id});
}

}  // namespace examinees
