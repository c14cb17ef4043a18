#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

#include "data/dberror.h"
#include "data/engine.h"
#include "data/serversql.h"

struct pg_conn;
struct pg_result;

// One result of a server statement, freed with the object.
class PgResult {
public:
    PgResult() = default;
    explicit PgResult(pg_result* result) : m_result(result, &Free) {}
    bool IsValid() const { return m_result != nullptr; }
    int Rows() const;
    int Columns() const;
    QString ColumnName(int column) const;
    unsigned TableOid(int column) const;
    bool IsNull(int row, int column) const;
    QString Text(int row, int column) const;
    QByteArrayView Utf8(int row, int column) const;
    // Typed like the SQLite engine's values: integers as qlonglong, floats as double,
    // byte strings as QByteArray, the rest as text.
    QVariant Value(int row, int column) const;

private:
    static void Free(pg_result* result);
    std::shared_ptr<pg_result> m_result;
};

// A session on the server with its search path set to one logical file's schema.
class PgDatabase {
public:
    static std::shared_ptr<PgDatabase> Connect(const QString& url, const QString& schemaName,
                                               QString* error,
                                               const store::LinkLimits& limits = {});
    // The station's session for a logical file, kept for the program's life: the scratch
    // tables are temporary tables of that session, seen by no other station.
    // Each thread is a station of its own, with its own sessions.
    static std::shared_ptr<PgDatabase> Session(const QString& url, const QString& schemaName,
                                               QString* error,
                                               const store::LinkLimits& limits = {});
    // The number of the thread's session for a logical file (counted from 1 on each new
    // session of the program), or -1 when it has none whose connection works.
    static qint64 LiveSession(const QString& url, const QString& schemaName);
    // Asks the thread's live session for a logical file a question answered at once, waiting
    // at most the check timeout (a server that stays silent is taken as gone and the link is
    // cut); false when there is no live session any more. Never connects anew.
    static bool SessionAnswers(const QString& url, const QString& schemaName);
    ~PgDatabase();
    PgDatabase(const PgDatabase&) = delete;
    PgDatabase& operator=(const PgDatabase&) = delete;

    // Runs already translated SQL as a prepared statement with the values bound. Inside a
    // transaction a failed statement is undone alone, as SQLite does, instead of spoiling
    // the whole transaction.
    PgResult Run(const QString& sql, const QVariantList& params, QString* error);
    // Runs SQL without parameters or preparing (transaction control, schema set-up).
    bool Command(const QString& sql, QString* error = nullptr);
    bool InTransaction() const;
    // The link to the server is gone: the session is spent and its failures say why.
    bool Lost() const;
    // Connections share the session; only the one that began a transaction ends it on
    // closing.
    bool Begin(const void* owner, QString* error);
    bool Commit(QString* error);
    bool Rollback(QString* error);
    bool TransactionOwnedBy(const void* owner) const { return InTransaction() && m_owner == owner; }
    // The failure whose message was `message`, as the user is told of it, with the
    // server's SQLSTATE.
    DatabaseError FailureOf(const QString& message) const;
    // Name of the table with this oid, and its identity (autonumber) column or empty.
    QString TableName(unsigned oid);
    QString KeyColumn(const QString& table);
    // Prepared statements refer to tables by oid; a dropped and recreated table needs
    // them made anew.
    void ForgetPrepared();

    // Makes or empties the schema of a logical file with the "val" function in it.
    static bool CreateSchema(const QString& url, const QString& schemaName, QString* error,
                             const store::LinkLimits& limits = {});

private:
    PgDatabase(pg_conn* conn, const store::LinkLimits& limits);
    static PgDatabase* Live(const QString& url, const QString& schemaName);
    // The last result of what was sent, waiting at most the reply timeout for each piece of
    // the answer; a server silent for longer is taken as gone and the link is cut.
    pg_result* Await(bool sent);
    PgResult RunOnce(const QString& sql, const QVariantList& params, QString* error);
    QString Error() const;
    // The message of a failed result; a lost conflict is noted for a retry.
    QString Failure(const pg_result* result) const;

    pg_conn* m_conn;
    int m_replyTimeoutMs;
    int m_checkTimeoutMs;
    qint64 m_number;
    QHash<QString, QByteArray> m_prepared;  // SQL → statement name
    QHash<unsigned, QString> m_tableNames;
    QHash<QString, QString> m_keyColumns;
    int m_nextStatement = 0;
    mutable QString m_lastState;  // the SQLSTATE of the last failure
    const void* m_owner = nullptr;
};

// The data files as schemas of a PostgreSQL database.
namespace server_engine {

// Opens the station's session for the logical data file `fileName` on the server at `url`;
// a server out of reach or without that file raises DatabaseError.
std::unique_ptr<Engine> Open(const QString& url, const QString& fileName);

}  // namespace server_engine
