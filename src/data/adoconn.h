#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

class SqliteDatabase;
class PgDatabase;
class PgResult;
struct sqlite3_stmt;

// Raised by recordset access that cannot be served (a recordset that failed to open,
// an unknown column, a position beyond the rows, a write the database refused).
// Handlers that trap database errors catch this type.
class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A static snapshot of a query's rows. Moving around never touches the database;
// PutCollect/AddNew/Update/Delete write through to the one table the rows came from.
// Like the recordsets the screens were designed around, moving away from a row with
// pending changes stores them first.
class CRecordset {
public:
    bool IsOpen() const { return m_open; }
    long RecordCount() const;
    bool IsEOF() const;
    bool IsBOF() const;

    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    // n rows on from the current row (negative n goes back).
    void Move(long n);

    // The value of a column in the current row; a NULL column gives an invalid QVariant.
    // Columns are named as in the SQL: a UTF-8 literal or a QString.
    QVariant GetCollect(const QString& column) const { return Value(ColumnIndex(column)); }
    QVariant GetCollect(const char* column) const { return Value(ColumnIndex(column)); }
    // The value as text; NULL reads as the empty string.
    QString GetText(const QString& column) const { return Text(ColumnIndex(column)); }
    QString GetText(const char* column) const { return Text(ColumnIndex(column)); }
    bool IsNull(const QString& column) const { return !GetCollect(column).isValid(); }
    bool IsNull(const char* column) const { return !GetCollect(column).isValid(); }

    // Doubles are stored in their shortest decimal text ("2", "1.5"); an invalid QVariant
    // stores NULL.
    void PutCollect(const QString& column, const QVariant& value) {
        Put(ColumnIndex(column), value);
    }
    void PutCollect(const char* column, const QVariant& value) { Put(ColumnIndex(column), value); }
    void AddNew();
    void Update();
    void Delete();

    QStringList Columns() const { return m_columns; }

private:
    friend class CADOConn;
    struct Row {
        qint64 rowid = 0;
        std::vector<QVariant> values;
    };

    void RequireOpen() const;
    void RequireRow() const;
    int ColumnIndex(const QString& column) const;
    int ColumnIndex(const char* column) const;
    QVariant Value(int column) const;
    QString Text(int column) const;
    void Put(int column, const QVariant& value);
    void StorePending();
    void InsertPending();
    // "INSERT INTO table (the changed columns) VALUES (?, …)", or DEFAULT VALUES.
    QString InsertStatement() const;
    void UpdatePending();
    void InsertOnServer();
    void UpdateOnServer();
    void DeleteOnServer();
    // Which row of the server the snapshot row is: by the table's key, or else by its
    // tuple id, which an update moves.
    QString ServerRowCondition() const;
    QVariant ServerRowValue(const Row& row) const;

    bool m_open = false;
    QString m_failure;  // why the query gave no rows, for the error raised on access
    std::shared_ptr<SqliteDatabase> m_db;
    std::shared_ptr<PgDatabase> m_pg;  // instead of m_db when the data is on a server
    QString m_serverKey;               // the key column that names rows on the server
    QString m_table;                   // empty when the rows cannot be written back
    QStringList m_columns;
    std::vector<QByteArray> m_columnsUtf8;
    QHash<QString, int> m_columnIndex;
    std::vector<Row> m_rows;
    long m_pos = 0;
    bool m_adding = false;
    bool m_currentDeleted = false;
    std::vector<int> m_changed;  // columns set since the last store, in order
    std::vector<QVariant> m_newValues;
    int m_keyColumn = -1;  // the table's integer key, filled in after an insert
    // The insert of the last AddNew: an import stores row after row with the same columns.
    std::vector<int> m_insertColumns;
    QString m_insertSql;
};

using RecordsetPtr = std::shared_ptr<CRecordset>;

// The row a query is at while CADOConn::ForEachRow reads it; valid only inside the visit.
// Values by column name or by position in the statement's order.
class CRowReader {
public:
    // NULL reads as the empty string, numbers as the data files store them.
    QString Text(const char* column) const;
    qint64 Integer(const char* column) const;
    bool IsNull(const char* column) const;
    QString Text(int column) const;
    bool IsNull(int column) const;
    // The stored text's UTF-8 bytes, without a copy: for comparing many rows quickly.
    QByteArrayView Utf8(int column) const;

private:
    friend class CADOConn;
    explicit CRowReader(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    CRowReader(const PgResult* result, int row) : m_stmt(nullptr), m_result(result), m_row(row) {}
    int Index(const char* column) const;
    sqlite3_stmt* m_stmt;
    const PgResult* m_result = nullptr;  // on a server: the result and the row visited
    int m_row = 0;
    // Columns already found, by the address of the name: a visit asks for the same
    // literals on every row.
    mutable std::vector<std::pair<const char*, int>> m_found;
};

// One connection to one of the data files. Each handler makes its own, uses it and
// closes it before it returns. SQL with user text always passes the values separately
// as bound parameters ("?" in the statement).
class CADOConn {
public:
    CADOConn();
    virtual ~CADOConn();
    CADOConn(const CADOConn&) = delete;
    CADOConn& operator=(const CADOConn&) = delete;

    // Opens a data file by name, relative to the current directory. A failure is
    // reported once through the error reporter; the connection then stays unusable.
    bool OpenDatabase(const QString& fileName);
    // Never throws: a failed statement gives a recordset that is not open, and the
    // caller's next access to it raises DatabaseError.
    RecordsetPtr OpenRecordset(const QString& sql, const QString& fileName,
                               const QVariantList& params = {});
    // Runs one statement; false on any failure, silently.
    bool ExecuteStatement(const QString& sql, const QString& fileName,
                          const QVariantList& params = {});
    void CloseDatabase();

    // Reads the rows straight from the statement, with no snapshot: for long lists and
    // for the keys of a large selection. Raises DatabaseError when the query fails.
    void ForEachRow(const QString& sql, const QString& fileName, const QVariantList& params,
                    const std::function<void(const CRowReader&)>& visit);
    // The number of rows of "select * from " + fromWhere, counted by the database.
    // Raises DatabaseError when the query fails, as the count of a failed recordset does.
    qint64 CountRows(const QString& fromWhere, const QString& fileName,
                     const QVariantList& params = {});

    // Several writes as one: everything between BeginTrans and CommitTrans is stored
    // together or, after RollbackTrans (or a close without commit), not at all.
    bool BeginTrans();
    bool CommitTrans();
    bool RollbackTrans();

    bool IsConnected() const;
    QString LastError() const { return m_lastError; }
    // Which session of the server holds the station's scratch tables of a data file: 0 for
    // a local file, -1 while there is none that works. Another value than before means the
    // session was lost (the server stopped, the network failed, the session was ended)
    // with its scratch tables and whatever it had not committed.
    static qint64 SessionId(const QString& fileName);
    // Connects the station's session with the server anew, quietly; true when the data
    // file is local or the session works.
    static bool Reconnect(const QString& fileName);

    // Creates an empty data file (used by the tool that makes the delivered files); with
    // a server named in the folder's settings, the file's schema on the server.
    static bool CreateDatabaseFile(const QString& path, QString* error = nullptr);

    // How long a local file's connection waits for another one's write lock before its
    // statement fails as busy: five seconds unless shortened (tests do).
    static void SetBusyTimeout(int milliseconds);

    // Where a connection failure is shown; the GUI installs a message box.
    using ErrorReporter = std::function<void(const QString&)>;
    static void SetErrorReporter(ErrorReporter reporter);

private:
    bool EnsureOpen(const QString& fileName);
    bool OpenServer(const QString& url, const QString& fileName);
    void ReadServerRecordset(CRecordset& rs, const QString& sql, const QVariantList& params);

    std::shared_ptr<SqliteDatabase> m_db;
    std::shared_ptr<PgDatabase> m_pg;
    bool m_openAttempted = false;
    QString m_lastError;
    RecordsetPtr m_recordset;
};

// Watches this thread's statements while a unit of work runs: the server may choose one of
// them as the loser of a conflict with another station (a serialization failure or a
// deadlock, SQLSTATE 40001 and 40P01). Such a unit was rolled back and can simply be done
// again.
class ConflictWatch {
public:
    static constexpr int kAttempts = 5;
    ConflictWatch();
    // A statement lost a conflict since the watch began and no commit followed.
    bool Lost() const;
    // A short random wait before the next attempt, longer with each one, so that the
    // stations that collided do not collide again.
    static void PauseBefore(int attempt);
    // Called by the engine.
    static void NoteConflict();
    static void NoteCommit();

private:
    quint64 m_start;
};

// Runs `unit` (a whole unit of work that opens, fills and commits its own transaction)
// and runs it again from its start when it failed as the loser of a conflict, a few
// times; any other failure, or the last lost conflict, reaches the caller as `unit` gave it
// (a DatabaseError raised or the failed result returned).
template <class Unit>
auto RetryConflicts(Unit&& unit) -> decltype(unit()) {
    for (int attempt = 1;; ++attempt) {
        const ConflictWatch watch;
        const bool last = attempt == ConflictWatch::kAttempts;
        try {
            if constexpr (std::is_void_v<decltype(unit())>) {
                unit();
                if (last || !watch.Lost()) return;
            } else {
                auto result = unit();
                if (last || !watch.Lost()) return result;
            }
        } catch (const DatabaseError&) {
            if (last || !watch.Lost()) throw;
        }
        ConflictWatch::PauseBefore(attempt + 1);
    }
}

// Rolls back on destruction unless committed, so an error or early return midway
// leaves the old state. A transaction that cannot begin raises DatabaseError (the file
// busy past the wait, the server lost): nothing can then be written outside it.
class CTransaction {
public:
    explicit CTransaction(CADOConn& conn);
    ~CTransaction();
    CTransaction(const CTransaction&) = delete;
    CTransaction& operator=(const CTransaction&) = delete;
    bool IsActive() const { return m_active; }
    // Raises DatabaseError when the database refuses the commit; nothing is stored then.
    void Commit();
    // Undoes what was written so far; the transaction is over.
    void Rollback();

private:
    CADOConn& m_conn;
    bool m_active = false;
};

// What the user is told when a data file stays locked by another connection past the wait.
QString DatabaseBusyText();

// The few idioms of the original SQL dialect that SQLite spells differently,
// translated in this one place.
QString TranslateJetSql(const QString& sql);
// Decimal text of a number the way the data files store it: "17", "2", "1.5".
QString NumberText(double value);
