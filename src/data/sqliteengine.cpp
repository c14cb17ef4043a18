#include "data/sqliteengine.h"

#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "data/dberror.h"
#include "data/numbertext.h"
#include "data/recordset.h"
#include "data/rowreader.h"

namespace {

int& BusyTimeout() {
    static int milliseconds = 5000;
    return milliseconds;
}

// Leading numeric part of a text, as the "val" function of the original dialect reads
// it: " 85.5分" gives 85.5, "" and "abc" give 0.
void ValFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const char* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    double value = 0;
    if (text) {
        while (*text == ' ' || *text == '\t') ++text;
        char* end = nullptr;
        value = std::strtod(text, &end);
        if (end == text || !std::isfinite(value)) value = 0;
    }
    sqlite3_result_double(ctx, value);
}

bool IsBusy(int rc) {
    return rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
}

// What the user is told of a failed call, by SQLite's result code.
DatabaseError FailureOf(int rc, const QString& message, const QString& shownPath) {
    const QString code = QString::number(rc);
    switch (rc & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return {DataFailure::Busy, failure_text::Busy(), code};
        case SQLITE_CONSTRAINT:
            return {DataFailure::Refused, failure_text::Refused(), code};
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return {DataFailure::FileDamaged, failure_text::FileDamaged(shownPath), code};
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_READONLY:
        case SQLITE_IOERR:
            return {DataFailure::FileDamaged, failure_text::FileUnreadable(shownPath), code};
        default:
            return {DataFailure::Other, failure_text::Other(message), code};
    }
}

// The shared handle: recordsets keep it alive after their connection closed, so rows read
// from one file stay usable while the connection moves to the other.
class SqliteDatabase {
public:
    SqliteDatabase(sqlite3* handle, QString shownPath)
        : db(handle), m_shownPath(std::move(shownPath)) {}
    ~SqliteDatabase() {
        ForgetPrepared();
        sqlite3_close_v2(db);
    }
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // The failure of the last call, as the user is told of it.
    DatabaseError Failure() const {
        const int rc = sqlite3_extended_errcode(db);
        return FailureOf(rc, QString::fromUtf8(sqlite3_errmsg(db)), m_shownPath);
    }

    // Prepared statements are kept for the connection's life: the same insert runs
    // for every row of an import. Nothing when SQLite refuses the statement.
    sqlite3_stmt* TryPrepare(const QString& sql) {
        auto it = cache.constFind(sql);
        if (it != cache.constEnd()) {
            sqlite3_reset(*it);
            sqlite3_clear_bindings(*it);
            return *it;
        }
        sqlite3_stmt* stmt = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt, nullptr) !=
            SQLITE_OK) {
            sqlite3_finalize(stmt);
            return nullptr;
        }
        cache.insert(sql, stmt);
        return stmt;
    }

    sqlite3_stmt* Prepare(const QString& sql) {
        sqlite3_stmt* stmt = TryPrepare(sql);
        if (!stmt) throw Failure();
        return stmt;
    }

    // Schema statements invalidate cached statements; keep the cache small and correct.
    void ForgetPrepared() {
        for (sqlite3_stmt* stmt : std::as_const(cache)) sqlite3_finalize(stmt);
        cache.clear();
        keyColumns.clear();
    }

    bool Bind(sqlite3_stmt* stmt, int index, const QVariant& value) {
        if (!value.isValid() || value.isNull()) return sqlite3_bind_null(stmt, index) == SQLITE_OK;
        switch (value.typeId()) {
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::Long:
            case QMetaType::Short:
            case QMetaType::Bool:
                return sqlite3_bind_int64(stmt, index, value.toLongLong()) == SQLITE_OK;
            case QMetaType::Double:
            case QMetaType::Float:
                return BindText(stmt, index, NumberText(value.toDouble()));
            case QMetaType::QByteArray: {
                const QByteArray bytes = value.toByteArray();
                return sqlite3_bind_blob(stmt, index, bytes.constData(), int(bytes.size()),
                                         SQLITE_TRANSIENT) == SQLITE_OK;
            }
            default:
                return BindText(stmt, index, value.toString());
        }
    }

    // UTF-8, as the files store text: SQLite need not convert it again.
    static bool BindText(sqlite3_stmt* stmt, int index, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        return sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()),
                                 SQLITE_TRANSIENT) == SQLITE_OK;
    }

    void BindAll(sqlite3_stmt* stmt, const QVariantList& params) {
        if (params.size() != sqlite3_bind_parameter_count(stmt))
            throw DatabaseError(failure_text::Other(QStringLiteral("语句的参数个数不对。")));
        for (int i = 0; i < params.size(); ++i)
            if (!Bind(stmt, i + 1, params[i])) throw Failure();
    }

    // Prepares, binds and steps a statement whose rows, if any, are not kept.
    void Run(const QString& sql, const QVariantList& params) {
        sqlite3_stmt* stmt = Prepare(sql);
        struct Reset {
            sqlite3_stmt* stmt;
            ~Reset() { sqlite3_reset(stmt); }
        } reset{stmt};
        BindAll(stmt, params);
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) throw Failure();
    }

    static QVariant ColumnValue(sqlite3_stmt* stmt, int i) {
        switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_INTEGER:
                return QVariant(qlonglong(sqlite3_column_int64(stmt, i)));
            case SQLITE_FLOAT:
                return QVariant(sqlite3_column_double(stmt, i));
            case SQLITE_BLOB:
                return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, i)),
                                           sqlite3_column_bytes(stmt, i)));
            case SQLITE_NULL:
                return QVariant();
            default: {
                const void* text = sqlite3_column_text16(stmt, i);
                const int bytes = sqlite3_column_bytes16(stmt, i);
                return QVariant(QString(static_cast<const QChar*>(text), bytes / 2));
            }
        }
    }

    // The name of the table's integer key column (the autonumber), or empty.
    QString KeyColumn(const QString& table) {
        auto it = keyColumns.constFind(table);
        if (it != keyColumns.constEnd()) return *it;
        QString key;
        if (sqlite3_stmt* stmt = TryPrepare("PRAGMA table_info(" + QuoteIdentifier(table) + ")")) {
            QString onlyKey;
            int keyParts = 0;
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                if (sqlite3_column_int(stmt, 5) > 0) {
                    ++keyParts;
                    const QString type = ColumnValue(stmt, 2).toString();
                    if (type.compare("INTEGER", Qt::CaseInsensitive) == 0)
                        onlyKey = ColumnValue(stmt, 1).toString();
                }
            }
            sqlite3_reset(stmt);
            if (keyParts == 1) key = onlyKey;
        }
        keyColumns.insert(table, key);
        return key;
    }

    sqlite3* db;
    QHash<QString, sqlite3_stmt*> cache;
    QHash<QString, QString> keyColumns;

private:
    QString m_shownPath;
};

// The file keeps text as UTF-8: Qt's decoder is quicker than having SQLite convert it.
QString Utf8Text(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
}

class SqliteRowReader final : public CRowReader {
public:
    explicit SqliteRowReader(sqlite3_stmt* stmt) : m_stmt(stmt) {}

private:
    int ColumnCount() const override { return sqlite3_column_count(m_stmt); }
    bool NameIs(int column, const char* name) const override {
        return std::strcmp(sqlite3_column_name(m_stmt, column), name) == 0;
    }
    bool NullAt(int column) const override {
        return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
    }
    QString TextAt(int column) const override { return Utf8Text(m_stmt, column); }
    QString ValueTextAt(int column) const override {
        if (sqlite3_column_type(m_stmt, column) == SQLITE_FLOAT)
            return NumberText(sqlite3_column_double(m_stmt, column));
        return Utf8Text(m_stmt, column);
    }
    qint64 IntegerAt(int column) const override { return sqlite3_column_int64(m_stmt, column); }
    QByteArrayView Utf8At(int column) const override {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return QByteArrayView(text, text ? sqlite3_column_bytes(m_stmt, column) : 0);
    }

    sqlite3_stmt* m_stmt;
};

// Rows are named by SQLite's row id.
class SqliteRowWriter final : public RowWriter {
public:
    explicit SqliteRowWriter(std::shared_ptr<SqliteDatabase> db) : m_db(std::move(db)) {}

    QString KeyColumn(const QString& table) override { return m_db->KeyColumn(table); }

    Inserted Insert(const QString& insertSql, const QVariantList& values, const QString&) override {
        m_db->Run(insertSql, values);
        const qint64 rowid = sqlite3_last_insert_rowid(m_db->db);
        return {rowid, QVariant(qlonglong(rowid))};
    }

    qint64 Update(const QString& updateSql, QVariantList values, qint64 rowid) override {
        values << qlonglong(rowid);
        m_db->Run(updateSql + " WHERE _rowid_=?", values);
        return rowid;
    }

    void Delete(const QString& table, qint64 rowid) override {
        m_db->Run("DELETE FROM " + QuoteIdentifier(table) + " WHERE _rowid_=?", {qlonglong(rowid)});
    }

private:
    std::shared_ptr<SqliteDatabase> m_db;
};

class SqliteEngine final : public Engine {
public:
    SqliteEngine(sqlite3* handle, const QString& shownPath)
        : m_db(std::make_shared<SqliteDatabase>(handle, shownPath)) {}

    void Read(RecordsetBuilder& rs, const QString& sql, const QVariantList& params) override;
    void Execute(const QString& sql, const QVariantList& params) override {
        const QString head = sql.trimmed().left(6).toLower();
        const bool changesSchema = head == "create" || head == "drop t" || head == "alter ";
        struct Forget {
            SqliteDatabase& db;
            bool now;
            ~Forget() {
                if (now) db.ForgetPrepared();
            }
        } forget{*m_db, changesSchema};
        m_db->Run(TranslateJetSql(sql), params);
    }
    void ForEachRow(const QString& sql, const QVariantList& params,
                    const std::function<void(const CRowReader&)>& visit) override;

    void Begin() override { Exec("BEGIN IMMEDIATE"); }
    void Commit() override { Exec("COMMIT"); }
    void Rollback() override { sqlite3_exec(m_db->db, "ROLLBACK", nullptr, nullptr, nullptr); }
    bool InTransaction() const override { return !sqlite3_get_autocommit(m_db->db); }

private:
    void Exec(const char* sql) {
        if (sqlite3_exec(m_db->db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw m_db->Failure();
    }

    std::shared_ptr<SqliteDatabase> m_db;
};

void SqliteEngine::Read(RecordsetBuilder& rs, const QString& sql, const QVariantList& params) {
    const QString translated = TranslateJetSql(sql);
    // Reading the row ids alongside lets the rows be written back. That only works for
    // a plain select over one table; anything else is read-only.
    static const QRegularExpression plainSelect(QStringLiteral("^\\s*select\\s+(?!distinct\\b)"),
                                                QRegularExpression::CaseInsensitiveOption);
    sqlite3_stmt* stmt = nullptr;
    bool withRowid = false;
    const auto match = plainSelect.match(translated);
    if (match.hasMatch()) {
        const QString withId = translated.left(match.capturedEnd()) + "_rowid_ AS \"\x01rowid\", " +
                               translated.mid(match.capturedEnd());
        stmt = m_db->TryPrepare(withId);
        withRowid = stmt != nullptr;
    }
    if (!stmt) stmt = m_db->Prepare(translated);
    struct Reset {
        sqlite3_stmt* stmt;
        ~Reset() { sqlite3_reset(stmt); }
    } reset{stmt};
    m_db->BindAll(stmt, params);

    const int count = sqlite3_column_count(stmt);
    const int first = withRowid ? 1 : 0;
    QString table;
    bool oneTable = withRowid;
    for (int i = 0; i < count; ++i) {
        const char* origin = sqlite3_column_table_name(stmt, i);
        const QString name = origin ? QString::fromUtf8(origin) : QString();
        if (i == 0) table = name;
        if (name.isEmpty() || name != table) oneTable = false;
        if (i >= first) {
            const char* utf8 = sqlite3_column_name(stmt, i);
            rs.AddColumn(QString::fromUtf8(utf8), QByteArray(utf8));
        }
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        std::vector<QVariant> values;
        values.reserve(size_t(count - first));
        for (int i = first; i < count; ++i) values.push_back(SqliteDatabase::ColumnValue(stmt, i));
        rs.AddRow(withRowid ? sqlite3_column_int64(stmt, 0) : 0, std::move(values));
    }
    if (rc != SQLITE_DONE) throw m_db->Failure();
    rs.Open(oneTable ? table : QString(), std::make_shared<SqliteRowWriter>(m_db));
}

void SqliteEngine::ForEachRow(const QString& sql, const QVariantList& params,
                              const std::function<void(const CRowReader&)>& visit) {
    sqlite3_stmt* stmt = m_db->Prepare(TranslateJetSql(sql));
    // The cached statement is reset whatever the visit does.
    struct Reset {
        sqlite3_stmt* stmt;
        ~Reset() { sqlite3_reset(stmt); }
    } reset{stmt};
    m_db->BindAll(stmt, params);
    const SqliteRowReader reader(stmt);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) visit(reader);
    if (rc != SQLITE_DONE) throw m_db->Failure();
}

}  // namespace

namespace sqlite_engine {

std::unique_ptr<Engine> Open(const QString& fileName) {
    const QFileInfo file(fileName);
    const QString shownPath = QDir::toNativeSeparators(file.absoluteFilePath());
    if (!file.isFile())
        throw DatabaseError(DataFailure::FileMissing, failure_text::FileMissing(shownPath));
    if (file.size() == 0)
        throw DatabaseError(DataFailure::FileDamaged, failure_text::FileDamaged(shownPath));

    sqlite3* handle = nullptr;
    const QByteArray path = fileName.toUtf8();
    // Each connection lives on the one user-interface thread: no mutex needed.
    int rc = sqlite3_open_v2(path.constData(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(handle);
        throw DatabaseError(DataFailure::FileDamaged, failure_text::FileUnreadable(shownPath),
                            QString::number(rc));
    }
    sqlite3_busy_timeout(handle, BusyTimeout());
    // SQLite opens lazily; reading the schema makes a non-database file fail here. Every
    // data file of the program carries user_version 1 from its creation, which tells a
    // foreign database apart.
    sqlite3_stmt* version = nullptr;
    rc = sqlite3_prepare_v2(handle, "PRAGMA user_version", -1, &version, nullptr);
    const bool ours = rc == SQLITE_OK && sqlite3_step(version) == SQLITE_ROW &&
                      sqlite3_column_int(version, 0) >= 1;
    rc = version ? sqlite3_finalize(version) : rc;
    if (IsBusy(rc) || !ours) {
        sqlite3_close_v2(handle);
        if (IsBusy(rc))
            throw DatabaseError(DataFailure::Busy, failure_text::FileBusy(shownPath),
                                QString::number(rc));
        throw DatabaseError(DataFailure::FileDamaged, failure_text::FileDamaged(shownPath),
                            QString::number(rc));
    }
    sqlite3_create_function_v2(handle, "val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               &ValFunction, nullptr, nullptr, nullptr);
    return std::make_unique<SqliteEngine>(handle, shownPath);
}

bool CreateFile(const QString& path, QString* error) {
    sqlite3* handle = nullptr;
    const QByteArray utf8 = path.toUtf8();
    const int rc = sqlite3_open_v2(utf8.constData(), &handle,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const bool ok = rc == SQLITE_OK && sqlite3_exec(handle, "PRAGMA user_version=1", nullptr,
                                                    nullptr, nullptr) == SQLITE_OK;
    if (!ok && error)
        *error = QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc));
    sqlite3_close_v2(handle);
    return ok;
}

void SetBusyTimeout(int milliseconds) {
    BusyTimeout() = milliseconds;
}

}  // namespace sqlite_engine

QString TranslateJetSql(const QString& sql) {
    // Jet writes an autonumber key as "ID AUTOINCREMENT PRIMARY KEY"; SQLite wants the
    // key type first. "val" is registered as a function on every connection.
    static const QRegularExpression autoKey(QStringLiteral("\\bAUTOINCREMENT\\s+PRIMARY\\s+KEY\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    // Every statement passes here: the pattern is tried only where it can match.
    if (!sql.contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive)) return sql;
    QString translated = sql;
    translated.replace(autoKey, QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT"));
    return translated;
}
