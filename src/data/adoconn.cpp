#include "data/adoconn.h"

#include <cstdio>
#include <utility>

#include "data/engine.h"
#include "data/pgengine.h"
#include "data/sqliteengine.h"

namespace {

CADOConn::ErrorReporter& Reporter() {
    static CADOConn::ErrorReporter reporter = [](const QString& text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    };
    return reporter;
}

}  // namespace

CADOConn::CADOConn() = default;

CADOConn::~CADOConn() {
    CloseDatabase();
}

void CADOConn::SetBusyTimeout(int milliseconds) {
    sqlite_engine::SetBusyTimeout(milliseconds);
}

void CADOConn::SetErrorReporter(ErrorReporter reporter) {
    Reporter() = std::move(reporter);
}

bool CADOConn::Quietly(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const DatabaseError& e) {
        m_lastFailure = e;
        return false;
    }
}

QString CADOConn::LastError() const {
    return m_lastFailure ? m_lastFailure->Text() : QString();
}

DatabaseError CADOConn::LastFailure() const {
    return m_lastFailure ? *m_lastFailure : DatabaseError(failure_text::Other(QString()));
}

bool CADOConn::OpenDatabase(const QString& fileName) {
    CloseDatabase();
    m_openAttempted = true;
    const QString url = store::ServerUrl(fileName);
    if (Quietly([&] {
            m_engine =
                url.isEmpty() ? sqlite_engine::Open(fileName) : server_engine::Open(url, fileName);
        }))
        return true;
    Reporter()(LastError());
    return false;
}

bool CADOConn::EnsureOpen(const QString& fileName) {
    if (m_engine) return true;
    if (m_openAttempted) return false;  // a failed open was already reported
    return OpenDatabase(fileName);
}

RecordsetPtr CADOConn::OpenRecordset(const QString& sql, const QString& fileName,
                                     const QVariantList& params) {
    auto rs = std::make_shared<CRecordset>();
    m_recordset = rs;
    RecordsetBuilder builder(*rs);
    // Whoever reads the failed recordset learns why.
    if (!EnsureOpen(fileName) || !Quietly([&] { m_engine->Read(builder, sql, params); }))
        builder.Fail(LastError());
    return rs;
}

bool CADOConn::ExecuteStatement(const QString& sql, const QString& fileName,
                                const QVariantList& params) {
    return EnsureOpen(fileName) && Quietly([&] { m_engine->Execute(sql, params); });
}

void CADOConn::ForEachRow(const QString& sql, const QString& fileName, const QVariantList& params,
                          const std::function<void(const CRowReader&)>& visit) {
    if (!EnsureOpen(fileName)) throw LastFailure();
    try {
        m_engine->ForEachRow(sql, params, visit);
    } catch (const DatabaseError& e) {
        m_lastFailure = e;
        throw;
    }
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
    m_openAttempted = false;
}

bool CADOConn::BeginTrans() {
    if (!m_engine) return false;
    return Quietly([this] { m_engine->Begin(); });
}

bool CADOConn::CommitTrans() {
    if (!m_engine || !Quietly([this] { m_engine->Commit(); })) return false;
    ConflictWatch::NoteCommit();
    return true;
}

bool CADOConn::RollbackTrans() {
    if (!m_engine) return false;
    m_engine->Rollback();
    return true;
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
