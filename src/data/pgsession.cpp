#include <libpq-fe.h>

#include <QHash>
#include <atomic>
#include <cerrno>
#include <utility>
#include <vector>

#include "data/pgengine.h"

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/socket.h>
#endif

#include "data/conflictretry.h"
#include "data/dberror.h"
#include "data/numbertext.h"
#include "data/recordset.h"

namespace {

const char* const kValFunctions =
    // The leading number of a text the way the original dialect's "val" reads it:
    // " 85.5分" gives 85.5, "" and "abc" give 0, NULL stays NULL.
    "CREATE OR REPLACE FUNCTION val(t text) RETURNS double precision LANGUAGE sql IMMUTABLE "
    "AS $$ SELECT CASE WHEN t IS NULL THEN NULL ELSE coalesce(substring(t from "
    "'^[[:blank:]]*([+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][+-]?[0-9]{1,3})?)')"
    "::double precision, 0) END $$;"
    "CREATE OR REPLACE FUNCTION val(n double precision) RETURNS double precision "
    "LANGUAGE sql IMMUTABLE AS $$ SELECT n $$;";

void IgnoreNotice(void*, const char*) {}

// libpq's words for a server that cannot be reached or has gone away.
bool SaysServerIsOutOfReach(const QString& message) {
    static const char* const kSigns[] = {"Connection refused",
                                         "timeout expired",
                                         "could not connect",
                                         "server closed the connection",
                                         "no connection to the server",
                                         "could not receive data",
                                         "could not send data",
                                         "Connection timed out",
                                         "Connection reset",
                                         "No route to host",
                                         "Network is unreachable",
                                         "could not translate host name",
                                         "EOF detected",
                                         "SSL SYSCALL error",
                                         "terminating connection"};
    for (const char* sign : kSigns)
        if (message.contains(QLatin1String(sign), Qt::CaseInsensitive)) return true;
    return false;
}

// What the user is told about a failure of the server: a server out of reach is named by
// host and port; anything else the server says passes as it is.
QString ServerFailureText(const pg_conn* conn, const QString& message) {
    if (!conn || PQstatus(conn) != CONNECTION_BAD || !SaysServerIsOutOfReach(message))
        return message;
    return failure_text::ServerLost(QString::fromUtf8(PQhost(conn)),
                                    QString::fromUtf8(PQport(conn)));
}

QHash<QString, std::shared_ptr<PgDatabase>>& Sessions() {
    thread_local QHash<QString, std::shared_ptr<PgDatabase>> sessions;
    return sessions;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// PgDatabase

std::shared_ptr<PgDatabase> PgDatabase::Connect(const QString& url, const QString& schemaName,
                                                QString* error, const store::LinkLimits& limits) {
    const QByteArray dbname = url.toUtf8();
    const QByteArray options = ("-c search_path=" + schemaName).toUtf8();
    const QByteArray connectTimeout = QByteArray::number(limits.connectTimeout);
    const QByteArray idle = QByteArray::number(limits.keepalivesIdle);
    const QByteArray interval = QByteArray::number(limits.keepalivesInterval);
    const QByteArray count = QByteArray::number(limits.keepalivesCount);
    const QByteArray userTimeout = QByteArray::number(limits.tcpUserTimeout);
    // The limits come first: a url that sets one of them itself has the last word.
    const char* keywords[] = {"connect_timeout",  "keepalives",
                              "keepalives_idle",  "keepalives_interval",
                              "keepalives_count", "tcp_user_timeout",
                              "dbname",           "options",
                              "client_encoding",  nullptr};
    const char* values[] = {connectTimeout.constData(),
                            "1",
                            idle.constData(),
                            interval.constData(),
                            count.constData(),
                            userTimeout.constData(),
                            dbname.constData(),
                            options.constData(),
                            "UTF8",
                            nullptr};
    pg_conn* conn = PQconnectdbParams(keywords, values, 1);
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        if (error)
            *error =
                conn ? ServerFailureText(conn, QString::fromUtf8(PQerrorMessage(conn)).trimmed())
                     : QStringLiteral("内存不足。");
        PQfinish(conn);
        return nullptr;
    }
    PQsetNoticeProcessor(conn, &IgnoreNotice, nullptr);
    std::shared_ptr<PgDatabase> db(new PgDatabase(conn, limits));
    QString reason;
    const PgResult found = db->RunOnce(
        QStringLiteral("select 1 from pg_namespace where nspname=$1"), {schemaName}, &reason);
    if (!found.IsValid() || found.Rows() != 1) {
        if (error) *error = reason.isEmpty() ? failure_text::NoServerData(schemaName) : reason;
        return nullptr;
    }
    return db;
}

std::shared_ptr<PgDatabase> PgDatabase::Session(const QString& url, const QString& schemaName,
                                                QString* error, const store::LinkLimits& limits) {
    std::shared_ptr<PgDatabase>& session = Sessions()[url + '\n' + schemaName];
    if (session && PQstatus(session->m_conn) == CONNECTION_OK) return session;
    session = Connect(url, schemaName, error, limits);
    return session;
}

PgDatabase* PgDatabase::Live(const QString& url, const QString& schemaName) {
    const auto found = Sessions().constFind(url + '\n' + schemaName);
    if (found == Sessions().constEnd() || !*found || PQstatus((*found)->m_conn) != CONNECTION_OK)
        return nullptr;
    return found->get();
}

qint64 PgDatabase::LiveSession(const QString& url, const QString& schemaName) {
    const PgDatabase* session = Live(url, schemaName);
    return session ? session->m_number : -1;
}

bool PgDatabase::SessionAnswers(const QString& url, const QString& schemaName) {
    PgDatabase* session = Live(url, schemaName);
    if (!session) return false;
    const int usual = std::exchange(session->m_replyTimeoutMs, session->m_checkTimeoutMs);
    // Any answer will do, an error too (say, of a transaction gone wrong): only silence
    // means the server is gone.
    session->Command(QStringLiteral("SELECT 1"));
    session->m_replyTimeoutMs = usual;
    return !session->Lost();
}

bool PgDatabase::Begin(const void* owner, QString* error) {
    if (!Command(QStringLiteral("BEGIN"), error)) return false;
    m_owner = owner;
    return true;
}

bool PgDatabase::Commit(QString* error) {
    m_owner = nullptr;
    return Command(QStringLiteral("COMMIT"), error);
}

bool PgDatabase::Rollback(QString* error) {
    m_owner = nullptr;
    return Command(QStringLiteral("ROLLBACK"), error);
}

PgDatabase::PgDatabase(pg_conn* conn, const store::LinkLimits& limits)
    : m_conn(conn),
      m_replyTimeoutMs(limits.replyTimeout * 1000),
      m_checkTimeoutMs(limits.checkTimeout * 1000) {
    static std::atomic<qint64> sessions{0};
    m_number = ++sessions;
}

PgDatabase::~PgDatabase() {
    PQfinish(m_conn);
}

QString PgDatabase::Error() const {
    return ServerFailureText(m_conn, QString::fromUtf8(PQerrorMessage(m_conn)).trimmed());
}

pg_result* PgDatabase::Await(bool sent) {
    if (!sent) return nullptr;
    PGresult* last = nullptr;
    for (;;) {
        while (PQisBusy(m_conn)) {
#ifdef Q_OS_UNIX
            pollfd wait{PQsocket(m_conn), POLLIN, 0};
            const int ready = poll(&wait, 1, m_replyTimeoutMs);
            if (ready < 0 && errno == EINTR) continue;
            // Cut off, the link fails the statement and reports itself lost, so the
            // next use of the session connects anew.
            if (ready == 0) shutdown(PQsocket(m_conn), SHUT_RDWR);
#endif
            if (!PQconsumeInput(m_conn)) break;
        }
        PGresult* next = PQgetResult(m_conn);
        if (!next) return last;
        PQclear(last);
        last = next;
    }
}

QString PgDatabase::Failure(const pg_result* result) const {
    const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    m_lastState = QString::fromLatin1(state);
    if (state && (qstrcmp(state, "40001") == 0 || qstrcmp(state, "40P01") == 0))
        ConflictWatch::NoteConflict();
    return Error();
}

DatabaseError PgDatabase::FailureOf(const QString& message) const {
    if (Lost())
        return {DataFailure::ServerLost,
                failure_text::ServerLost(QString::fromUtf8(PQhost(m_conn)),
                                         QString::fromUtf8(PQport(m_conn))),
                m_lastState};
    // Class 23: integrity constraint violations.
    if (m_lastState.startsWith(QLatin1String("23")))
        return {DataFailure::Refused, failure_text::Refused(), m_lastState};
    return {DataFailure::Other, failure_text::Other(message), m_lastState};
}

bool PgDatabase::Lost() const {
    return PQstatus(m_conn) == CONNECTION_BAD;
}

bool PgDatabase::InTransaction() const {
    return PQtransactionStatus(m_conn) != PQTRANS_IDLE;
}

bool PgDatabase::Command(const QString& sql, QString* error) {
    PGresult* result = Await(PQsendQuery(m_conn, sql.toUtf8().constData()));
    const ExecStatusType status = PQresultStatus(result);
    // A commit of a transaction that failed answers ROLLBACK without an error.
    const bool ok =
        (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) &&
        !(sql == QLatin1String("COMMIT") && qstrcmp(PQcmdStatus(result), "ROLLBACK") == 0);
    if (!ok) {
        const QString failure = Failure(result);
        if (error) *error = failure;
    }
    PQclear(result);
    return ok;
}

PgResult PgDatabase::RunOnce(const QString& sql, const QVariantList& params, QString* error) {
    auto it = m_prepared.constFind(sql);
    if (it == m_prepared.constEnd()) {
        const QByteArray name = "vemo_" + QByteArray::number(m_nextStatement++);
        PGresult* prepared =
            Await(PQsendPrepare(m_conn, name.constData(), sql.toUtf8().constData(), 0, nullptr));
        const bool ok = PQresultStatus(prepared) == PGRES_COMMAND_OK;
        const QString failure = ok ? QString() : Failure(prepared);
        PQclear(prepared);
        if (!ok) {
            if (error) *error = failure;
            return PgResult();
        }
        it = m_prepared.insert(sql, name);
    }
    std::vector<QByteArray> storage(size_t(params.size()));
    std::vector<const char*> values(size_t(params.size()), nullptr);
    std::vector<int> lengths(size_t(params.size()), 0);
    std::vector<int> formats(size_t(params.size()), 0);
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& value = params[i];
        if (!value.isValid() || value.isNull()) continue;
        switch (value.typeId()) {
            case QMetaType::Bool:
                storage[i] = value.toBool() ? "1" : "0";
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                storage[i] = NumberText(value.toDouble()).toUtf8();
                break;
            case QMetaType::QByteArray:
                storage[i] = value.toByteArray();
                formats[i] = 1;
                break;
            default:
                storage[i] = value.toString().toUtf8();
        }
        values[i] = storage[i].constData();
        lengths[i] = int(storage[i].size());
    }
    PGresult* result = Await(PQsendQueryPrepared(m_conn, it->constData(), int(params.size()),
                                                 values.data(), lengths.data(), formats.data(), 0));
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const QString failure = Failure(result);
        if (error) *error = failure;
        PQclear(result);
        return PgResult();
    }
    return PgResult(result);
}

PgResult PgDatabase::Run(const QString& sql, const QVariantList& params, QString* error) {
    if (!InTransaction()) return RunOnce(sql, params, error);
    Command(QStringLiteral("SAVEPOINT vemo_statement"));
    PgResult result = RunOnce(sql, params, error);
    if (!result.IsValid()) Command(QStringLiteral("ROLLBACK TO SAVEPOINT vemo_statement"));
    Command(QStringLiteral("RELEASE SAVEPOINT vemo_statement"));
    return result;
}

QString PgDatabase::TableName(unsigned oid) {
    auto it = m_tableNames.constFind(oid);
    if (it != m_tableNames.constEnd()) return *it;
    const PgResult found = Run(QStringLiteral("select relname::text from pg_class where oid=$1"),
                               {qlonglong(oid)}, nullptr);
    const QString name = found.IsValid() && found.Rows() == 1 ? found.Text(0, 0) : QString();
    m_tableNames.insert(oid, name);
    return name;
}

QString PgDatabase::KeyColumn(const QString& table) {
    auto it = m_keyColumns.constFind(table);
    if (it != m_keyColumns.constEnd()) return *it;
    const PgResult found =
        Run(QStringLiteral("select attname::text from pg_attribute where "
                           "attrelid=to_regclass(quote_ident($1)) and attidentity<>''"),
            {table}, nullptr);
    const QString key = found.IsValid() && found.Rows() == 1 ? found.Text(0, 0) : QString();
    m_keyColumns.insert(table, key);
    return key;
}

void PgDatabase::ForgetPrepared() {
    Command(QStringLiteral("DEALLOCATE ALL"));
    m_prepared.clear();
    m_tableNames.clear();
    m_keyColumns.clear();
}

bool PgDatabase::CreateSchema(const QString& url, const QString& schemaName, QString* error,
                              const store::LinkLimits& limits) {
    std::shared_ptr<PgDatabase> db = Connect(url, QStringLiteral("pg_catalog"), error, limits);
    if (!db) return false;
    return db->Command("CREATE SCHEMA IF NOT EXISTS " + QuoteIdentifier(schemaName) +
                           ";SET search_path TO " + QuoteIdentifier(schemaName) + ";" +
                           kValFunctions,
                       error);
}

namespace store {

bool SessionAnswers(const QString& fileName) {
    const QString url = ServerUrl(fileName);
    return url.isEmpty() || PgDatabase::SessionAnswers(url, SchemaName(fileName));
}

}  // namespace store
