#include "rules/subjectsettings.h"

#include "data/adoconn.h"
#include "data/questiontype.h"
#include "data/schema.h"

namespace subject_settings {
namespace {

const QString& File() {
    return schema::kQuestionsFile;
}

void Execute(const QString& sql, const QVariantList& params = {}) {
    CADOConn conn;
    conn.ExecuteStatement(sql, File(), params);
}

}  // namespace

std::vector<Subject> List() {
    CADOConn conn;
    auto rs = conn.OpenRecordset(QStringLiteral("select * from Subject"), File());
    std::vector<Subject> subjects;
    for (; !rs->IsEOF(); rs->MoveNext())
        subjects.push_back({rs->GetCollect("ID").toLongLong(), rs->GetText("科目")});
    return subjects;
}

Added Add(const QString& name) {
    if (name.isEmpty()) return Added::Empty;
    CADOConn conn;
    auto same =
        conn.OpenRecordset(QStringLiteral("select ID from Subject where 科目=?"), File(), {name});
    if (same->RecordCount() > 0) return Added::Exists;
    auto rs = conn.OpenRecordset(QStringLiteral("select * from Subject where 1=0"), File());
    rs->AddNew();
    rs->PutCollect("科目", name);
    rs->Update();
    return Added::Stored;
}

bool IsEmpty() {
    CADOConn conn;
    auto rs = conn.OpenRecordset(QStringLiteral("select COUNT(*) as 行数 from Subject"), File());
    return rs->GetCollect("行数").toLongLong() == 0;
}

void Clear() {
    Execute(QStringLiteral("delete from Subject"));
}

void Remove(qlonglong id) {
    Execute(QStringLiteral("delete from Subject where ID=?"), {id});
}

QString UsedSubjectsStatement(const QString& type) {
    return "select distinct 科目 from " + type;
}

QStringList UsedInBank() {
    QStringList used;
    CADOConn conn;
    for (const QString& type : qtype::Names()) {
        auto rs = conn.OpenRecordset(UsedSubjectsStatement(type), File());
        for (; !rs->IsEOF(); rs->MoveNext()) used << rs->GetText("科目");
    }
    return used;
}

}  // namespace subject_settings
