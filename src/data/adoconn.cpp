#include "data/adoconn.h"

#include "data/engine.h"
#include "data/pgengine.h"
#include "data/sqliteengine.h"

CADOConn::CADOConn() = default;

CADOConn::~CADOConn() {
    CloseDatabase();
}

void CADOConn::SetBusyTimeout(int milliseconds) {
    sqlite_engine::SetBusyTimeout(milliseconds);
}

void CADOConn::OpenDatabase(const QString& fileName) {
    CloseDatabase();
    const QString url = store::ServerUrl(fileName);
    m_engine = url.isEmpty() ? sqlite_engine::Open(fileName) : server_engine::Open(url, fileName);
}

Engine& CADOConn::EnsureOpen(const QString& fileName) {
    if (!m_engine) OpenDatabase(fileName);
    return *m_engine;
}

RecordsetPtr CADOConn::OpenRecordset(const QString& sql, const QString& fileName,
                                     const QVariantList& params) {
    Engine& engine = EnsureOpen(fileName);
    auto rs = std::make_shared<CRecordset>();
    RecordsetBuilder builder(*rs);
    engine.Read(builder, sql, params);
    m_recordset = rs;
    return rs;
}

void CADOConn::ExecuteStatement(const QString& sql, const QString& fileName,
                                const QVariantList& params) {
    EnsureOpen(fileName).Execute(sql, params);
}

bool CADOConn::ExecuteIfPossible(const QString& sql, const QString& fileName,
                                 const QVariantList& params) {
    try {
        EnsureOpen(fileName).Execute(sql, params);
        return true;
    } catch (const DatabaseError&) {
        return false;
    }
}

void CADOConn::ForEachRow(const QString& sql, const QString& fileName, const QVariantList& params,
                          const std::function<void(const CRowReader&)>& visit) {
    EnsureOpen(fileName).ForEachRow(sql, params, visit);
}

qint64 CADOConn::CountRows(const QString& fromWhere, const QString& fileName,
                           const QVariantList& params) {
    qint64 count = 0;
    ForEachRow("select count(*) as n from " + fromWhere, fileName, params,
               [&count](const CRowReader& row) { count = row.Integer("n"); });
    return count;
}

void CADOConn::CloseDatabase() {
    if (m_engine && m_engine->InTransaction()) m_engine->Rollback();
    m_recordset.reset();
    m_engine.reset();
}

void CADOConn::BeginTrans() {
    if (!m_engine) throw DatabaseError(QStringLiteral("数据文件没有打开。"));
    m_engine->Begin();
}

void CADOConn::CommitTrans() {
    if (!m_engine) throw DatabaseError(QStringLiteral("数据文件没有打开。"));
    m_engine->Commit();
    ConflictWatch::NoteCommit();
}

void CADOConn::RollbackTrans() {
    if (m_engine) m_engine->Rollback();
}

qint64 CADOConn::SessionId(const QString& fileName) {
    const QString url = store::ServerUrl(fileName);
    return url.isEmpty() ? 0 : PgDatabase::LiveSession(url, store::SchemaName(fileName));
}

bool CADOConn::Reconnect(const QString& fileName) {
    const QString url = store::ServerUrl(fileName);
    if (url.isEmpty()) return true;
    QString ignored;
    return PgDatabase::Session(url, store::SchemaName(fileName), &ignored,
                               store::ReadLinkLimits(fileName)) != nullptr;
}

bool CADOConn::CreateDatabaseFile(const QString& path, QString* error) {
    const QString url = store::ServerUrl(path);
    if (!url.isEmpty())
        return PgDatabase::CreateSchema(url, store::SchemaName(path), error,
                                        store::ReadLinkLimits(path));
    return sqlite_engine::CreateFile(path, error);
}
