#include "data/adoconn.h"

#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>
#include <utility>

#include "data/pgengine.h"

namespace {

// What a failed server statement raises: a server out of reach is told as it is, any
// other failure with what was being done.
[[noreturn]] void ThrowServerFailure(const PgDatabase& db, const QString& doing,
                                     const QString& error) {
    throw DatabaseError((db.Lost() ? error : doing + error).toStdString());
}

int& BusyTimeout() {
    static int milliseconds = 5000;
    return milliseconds;
}

CADOConn::ErrorReporter& Reporter() {
    static CADOConn::ErrorReporter reporter = [](const QString& text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    };
    return reporter;
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

QString QuoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace('"', "\"\"");
    return '"' + quoted + '"';
}

}  // namespace

// The shared handle: recordsets keep it alive after their connection object closed,
// so rows read from one file stay usable while the connection moves to the other.
class SqliteDatabase {
public:
    explicit SqliteDatabase(sqlite3* handle) : db(handle) {}
    ~SqliteDatabase() {
        for (sqlite3_stmt* stmt : std::as_const(cache)) sqlite3_finalize(stmt);
        sqlite3_close_v2(db);
    }
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    QString Error() const { return QString::fromUtf8(sqlite3_errmsg(db)); }

    // Prepared statements are kept for the connection's life: the same insert runs
    // for every row of an import.
    sqlite3_stmt* Prepare(const QString& sql, QString* error) {
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
            if (error) *error = Error();
            sqlite3_finalize(stmt);
            return nullptr;
        }
        cache.insert(sql, stmt);
        return stmt;
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

    bool BindAll(sqlite3_stmt* stmt, const QVariantList& params, QString* error) {
        if (params.size() != sqlite3_bind_parameter_count(stmt)) {
            if (error) *error = QStringLiteral("wrong number of parameters");
            return false;
        }
        for (int i = 0; i < params.size(); ++i) {
            if (!Bind(stmt, i + 1, params[i])) {
                if (error) *error = Error();
                return false;
            }
        }
        return true;
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
        QString error;
        if (sqlite3_stmt* stmt =
                Prepare("PRAGMA table_info(" + QuoteIdentifier(table) + ")", &error)) {
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
};

QString NumberText(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(qlonglong(value));
    return QString::number(value, 'g', 15);
}

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

// ---------------------------------------------------------------------------------------
// CRecordset

void CRecordset::RequireOpen() const {
    if (!m_open)
        throw DatabaseError(m_failure.isEmpty() ? "记录集没有打开。" : m_failure.toStdString());
}

void CRecordset::RequireRow() const {
    RequireOpen();
    if (m_adding) return;
    if (m_currentDeleted) throw DatabaseError("the current row has been deleted");
    if (m_pos < 0 || m_pos >= long(m_rows.size()))
        throw DatabaseError("no current row (BOF or EOF)");
}

long CRecordset::RecordCount() const {
    RequireOpen();
    return long(m_rows.size());
}

bool CRecordset::IsEOF() const {
    RequireOpen();
    return m_pos >= long(m_rows.size());
}

bool CRecordset::IsBOF() const {
    RequireOpen();
    return m_pos < 0 || m_rows.empty();
}

void CRecordset::MoveFirst() {
    StorePending();
    m_currentDeleted = false;
    m_pos = 0;
}

void CRecordset::MoveNext() {
    StorePending();
    if (m_currentDeleted) {
        // The deleted row already made room: its successor sits at the same index.
        m_currentDeleted = false;
        return;
    }
    if (m_pos >= long(m_rows.size())) throw DatabaseError("MoveNext beyond the last row");
    ++m_pos;
}

void CRecordset::MovePrevious() {
    StorePending();
    m_currentDeleted = false;
    if (m_pos < 0) throw DatabaseError("MovePrevious before the first row");
    --m_pos;
}

void CRecordset::MoveLast() {
    StorePending();
    m_currentDeleted = false;
    m_pos = long(m_rows.size()) - 1;
}

void CRecordset::Move(long n) {
    StorePending();
    // Like the recordset this imitates: a step past either end stops at EOF or BOF, and
    // only a step further on from there is an error.
    const long size = long(m_rows.size());
    if ((n > 0 && m_pos >= size && !m_currentDeleted) || (n < 0 && m_pos < 0))
        throw DatabaseError("Move beyond the rows of the recordset");
    const long target = (m_currentDeleted && n > 0 ? m_pos - 1 : m_pos) + n;
    m_currentDeleted = false;
    m_pos = std::clamp(target, -1L, size);
}

int CRecordset::ColumnIndex(const QString& column) const {
    RequireOpen();
    auto it = m_columnIndex.constFind(column);
    if (it != m_columnIndex.constEnd()) return *it;
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(column, Qt::CaseInsensitive) == 0) return i;
    throw DatabaseError(("no column named " + column).toStdString());
}

int CRecordset::ColumnIndex(const char* column) const {
    RequireOpen();
    for (size_t i = 0; i < m_columnsUtf8.size(); ++i)
        if (std::strcmp(m_columnsUtf8[i].constData(), column) == 0) return int(i);
    return ColumnIndex(QString::fromUtf8(column));
}

QVariant CRecordset::Value(int column) const {
    RequireRow();
    return m_adding ? m_newValues[column] : m_rows[m_pos].values[column];
}

QString CRecordset::Text(int column) const {
    const QVariant value = Value(column);
    if (!value.isValid()) return QString("");
    if (value.typeId() == QMetaType::Double) return NumberText(value.toDouble());
    return value.toString();
}

void CRecordset::Put(int column, const QVariant& value) {
    RequireRow();
    if (m_table.isEmpty()) throw DatabaseError("the recordset cannot be written back");
    QVariant stored = value;
    if (value.isNull()) {
        stored = QVariant();
    } else if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        stored = NumberText(value.toDouble());
    } else if (value.typeId() == QMetaType::Int) {
        stored = QVariant(qlonglong(value.toInt()));
    }
    if (!m_adding && m_newValues.empty()) {
        // The snapshot keeps the old value until the row is stored.
        m_newValues = m_rows[m_pos].values;
    }
    m_newValues[column] = std::move(stored);
    if (std::find(m_changed.begin(), m_changed.end(), column) == m_changed.end())
        m_changed.push_back(column);
}

void CRecordset::AddNew() {
    RequireOpen();
    if (m_table.isEmpty()) throw DatabaseError("the recordset cannot be written back");
    StorePending();
    m_adding = true;
    m_currentDeleted = false;
    m_newValues.assign(m_columns.size(), QVariant());
    m_changed.clear();
}

void CRecordset::Update() {
    RequireOpen();
    StorePending();
}

void CRecordset::StorePending() {
    if (!m_open) return;
    if (m_adding) {
        InsertPending();
    } else if (!m_changed.empty()) {
        UpdatePending();
    }
}

void CRecordset::InsertPending() {
    if (m_pg) return InsertOnServer();
    if (m_insertSql.isEmpty() || m_insertColumns != m_changed) {
        m_insertColumns = m_changed;
        m_insertSql = InsertStatement();
    }
    QString error;
    sqlite3_stmt* stmt = m_db->Prepare(m_insertSql, &error);
    bool ok = stmt != nullptr;
    for (int i = 0; ok && i < int(m_changed.size()); ++i)
        ok = m_db->Bind(stmt, i + 1, m_newValues[m_changed[i]]);
    if (ok) ok = sqlite3_step(stmt) == SQLITE_DONE;
    if (stmt) {
        if (!ok) error = m_db->Error();
        sqlite3_reset(stmt);
    }
    m_adding = false;
    m_changed.clear();
    if (!ok) {
        m_newValues.clear();
        throw DatabaseError(("insert into " + m_table + " failed: " + error).toStdString());
    }
    Row row;
    row.rowid = sqlite3_last_insert_rowid(m_db->db);
    row.values = std::move(m_newValues);
    m_newValues.clear();
    if (m_keyColumn < 0) {
        const QString key = m_db->KeyColumn(m_table);
        m_keyColumn = key.isEmpty() ? int(m_columns.size()) : int(m_columns.indexOf(key));
    }
    if (m_keyColumn >= 0 && m_keyColumn < m_columns.size())
        row.values[m_keyColumn] = QVariant(qlonglong(row.rowid));
    m_rows.push_back(std::move(row));
    m_pos = long(m_rows.size()) - 1;
}

void CRecordset::UpdatePending() {
    if (m_pg) return UpdateOnServer();
    QString sql = "UPDATE " + QuoteIdentifier(m_table) + " SET ";
    for (size_t i = 0; i < m_changed.size(); ++i) {
        if (i) sql += ',';
        sql += QuoteIdentifier(m_columns[m_changed[i]]) + "=?";
    }
    sql += " WHERE _rowid_=?";
    QString error;
    sqlite3_stmt* stmt = m_db->Prepare(sql, &error);
    bool ok = stmt != nullptr;
    for (int i = 0; ok && i < int(m_changed.size()); ++i)
        ok = m_db->Bind(stmt, i + 1, m_newValues[m_changed[i]]);
    if (ok)
        ok = sqlite3_bind_int64(stmt, int(m_changed.size()) + 1, m_rows[m_pos].rowid) == SQLITE_OK;
    if (ok) ok = sqlite3_step(stmt) == SQLITE_DONE;
    if (stmt) {
        if (!ok) error = m_db->Error();
        sqlite3_reset(stmt);
    }
    std::vector<QVariant> values = std::move(m_newValues);
    m_newValues.clear();
    m_changed.clear();
    if (!ok) throw DatabaseError(("update of " + m_table + " failed: " + error).toStdString());
    m_rows[m_pos].values = std::move(values);
}

void CRecordset::Delete() {
    RequireRow();
    if (m_table.isEmpty() || m_adding) throw DatabaseError("the row cannot be deleted");
    m_changed.clear();
    m_newValues.clear();
    if (m_pg) return DeleteOnServer();
    QString error;
    sqlite3_stmt* stmt =
        m_db->Prepare("DELETE FROM " + QuoteIdentifier(m_table) + " WHERE _rowid_=?", &error);
    bool ok = stmt && sqlite3_bind_int64(stmt, 1, m_rows[m_pos].rowid) == SQLITE_OK &&
              sqlite3_step(stmt) == SQLITE_DONE;
    if (stmt) {
        if (!ok) error = m_db->Error();
        sqlite3_reset(stmt);
    }
    if (!ok) throw DatabaseError(("delete from " + m_table + " failed: " + error).toStdString());
    m_rows.erase(m_rows.begin() + m_pos);
    m_currentDeleted = true;
}

QString CRecordset::ServerRowCondition() const {
    return m_serverKey.isEmpty() ? QStringLiteral(" WHERE ctid=?::tid")
                                 : " WHERE " + QuoteIdentifier(m_serverKey) + "=?";
}

QVariant CRecordset::ServerRowValue(const Row& row) const {
    return m_serverKey.isEmpty() ? QVariant(TupleIdText(row.rowid)) : QVariant(row.rowid);
}

QString CRecordset::InsertStatement() const {
    QString sql = "INSERT INTO " + QuoteIdentifier(m_table);
    if (m_changed.empty()) return sql + " DEFAULT VALUES";
    QString names, marks;
    for (int index : m_changed) {
        if (!names.isEmpty()) {
            names += ',';
            marks += ',';
        }
        names += QuoteIdentifier(m_columns[index]);
        marks += '?';
    }
    return sql + " (" + names + ") VALUES (" + marks + ")";
}

void CRecordset::InsertOnServer() {
    QString sql = InsertStatement();
    QVariantList params;
    for (int index : m_changed) params << m_newValues[index];
    if (m_keyColumn < 0) {
        const QString key = m_pg->KeyColumn(m_table);
        m_keyColumn = key.isEmpty() ? int(m_columns.size()) : int(m_columns.indexOf(key));
    }
    const bool withKey = m_keyColumn >= 0 && m_keyColumn < m_columns.size();
    sql += " RETURNING ctid::text";
    if (withKey) sql += "," + QuoteIdentifier(m_columns[m_keyColumn]);
    QString error;
    const PgResult result = m_pg->Run(TranslateServerSql(sql), params, &error);
    m_adding = false;
    m_changed.clear();
    if (!result.IsValid() || result.Rows() != 1) {
        m_newValues.clear();
        ThrowServerFailure(*m_pg, "insert into " + m_table + " failed: ", error);
    }
    Row row;
    row.values = std::move(m_newValues);
    m_newValues.clear();
    if (withKey) row.values[m_keyColumn] = result.Value(0, 1);
    row.rowid = m_serverKey.isEmpty() ? PackTupleId(result.Text(0, 0))
                                      : row.values[m_columns.indexOf(m_serverKey)].toLongLong();
    m_rows.push_back(std::move(row));
    m_pos = long(m_rows.size()) - 1;
}

void CRecordset::UpdateOnServer() {
    QString sql = "UPDATE " + QuoteIdentifier(m_table) + " SET ";
    QVariantList params;
    for (size_t i = 0; i < m_changed.size(); ++i) {
        if (i) sql += ',';
        sql += QuoteIdentifier(m_columns[m_changed[i]]) + "=?";
        params << m_newValues[m_changed[i]];
    }
    sql += ServerRowCondition() + " RETURNING ctid::text";
    params << ServerRowValue(m_rows[m_pos]);
    QString error;
    const PgResult result = m_pg->Run(TranslateServerSql(sql), params, &error);
    std::vector<QVariant> values = std::move(m_newValues);
    m_newValues.clear();
    m_changed.clear();
    if (!result.IsValid()) ThrowServerFailure(*m_pg, "update of " + m_table + " failed: ", error);
    m_rows[m_pos].values = std::move(values);
    if (m_serverKey.isEmpty() && result.Rows() == 1)
        m_rows[m_pos].rowid = PackTupleId(result.Text(0, 0));
}

void CRecordset::DeleteOnServer() {
    QString error;
    const PgResult result = m_pg->Run(
        TranslateServerSql("DELETE FROM " + QuoteIdentifier(m_table) + ServerRowCondition()),
        {ServerRowValue(m_rows[m_pos])}, &error);
    if (!result.IsValid()) ThrowServerFailure(*m_pg, "delete from " + m_table + " failed: ", error);
    m_rows.erase(m_rows.begin() + m_pos);
    m_currentDeleted = true;
}

// ---------------------------------------------------------------------------------------
// CRowReader

int CRowReader::Index(const char* column) const {
    for (const auto& [name, index] : m_found)
        if (name == column) return index;
    const int count = m_result ? m_result->Columns() : sqlite3_column_count(m_stmt);
    for (int i = 0; i < count; ++i) {
        // The server folds unquoted names to lower case (ID comes back as id).
        const bool same = m_result ? m_result->ColumnName(i).compare(QString::fromUtf8(column),
                                                                     Qt::CaseInsensitive) == 0
                                   : std::strcmp(sqlite3_column_name(m_stmt, i), column) == 0;
        if (same) {
            m_found.emplace_back(column, i);
            return i;
        }
    }
    throw DatabaseError(std::string("no column named ") + column);
}

namespace {

// The file keeps text as UTF-8: Qt's decoder is quicker than having SQLite convert it.
QString Utf8Text(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
}

}  // namespace

QString CRowReader::Text(const char* column) const {
    const int i = Index(column);
    if (m_result) return m_result->IsNull(m_row, i) ? QString("") : m_result->Text(m_row, i);
    switch (sqlite3_column_type(m_stmt, i)) {
        case SQLITE_NULL:
            return QString("");
        case SQLITE_FLOAT:
            return NumberText(sqlite3_column_double(m_stmt, i));
        default:
            return Utf8Text(m_stmt, i);
    }
}

qint64 CRowReader::Integer(const char* column) const {
    if (m_result) return m_result->Value(m_row, Index(column)).toLongLong();
    return sqlite3_column_int64(m_stmt, Index(column));
}

bool CRowReader::IsNull(const char* column) const {
    if (m_result) return m_result->IsNull(m_row, Index(column));
    return sqlite3_column_type(m_stmt, Index(column)) == SQLITE_NULL;
}

// ---------------------------------------------------------------------------------------
// CADOConn

CADOConn::CADOConn() = default;

CADOConn::~CADOConn() {
    CloseDatabase();
}

void CADOConn::SetBusyTimeout(int milliseconds) {
    BusyTimeout() = milliseconds;
}

QString DatabaseBusyText() {
    return QStringLiteral("数据库正忙（别的程序或工作站正在写入），请稍后再试。");
}

void CADOConn::SetErrorReporter(ErrorReporter reporter) {
    Reporter() = std::move(reporter);
}

bool CADOConn::IsConnected() const {
    return m_db != nullptr || m_pg != nullptr;
}

bool CADOConn::OpenDatabase(const QString& fileName) {
    CloseDatabase();
    m_openAttempted = true;
    const QString url = store::ServerUrl(fileName);
    if (!url.isEmpty()) return OpenServer(url, fileName);
    const QFileInfo file(fileName);
    const QString shownPath = QDir::toNativeSeparators(file.absoluteFilePath());
    auto fail = [&](sqlite3* handle, const QString& reason) {
        sqlite3_close_v2(handle);
        m_lastError = QStringLiteral("无法打开数据文件“%1”：%2").arg(shownPath, reason);
        Reporter()(m_lastError);
        return false;
    };
    const QString unusable =
        QStringLiteral("它不是本程序可用的数据文件（文件为空、已损坏或属于别的程序）。");
    if (!file.isFile()) return fail(nullptr, QStringLiteral("文件不存在。"));
    if (file.size() == 0) return fail(nullptr, unusable);

    sqlite3* handle = nullptr;
    const QByteArray path = fileName.toUtf8();
    // Each connection lives on the one user-interface thread: no mutex needed.
    int rc = sqlite3_open_v2(path.constData(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) return fail(handle, QStringLiteral("没有读写它的权限，或者它无法访问。"));
    sqlite3_busy_timeout(handle, BusyTimeout());
    // SQLite opens lazily; reading the schema makes a non-database file fail here. Every
    // data file of the program carries user_version 1 from its creation, which tells a
    // foreign database apart.
    sqlite3_stmt* version = nullptr;
    rc = sqlite3_prepare_v2(handle, "PRAGMA user_version", -1, &version, nullptr);
    const bool ours = rc == SQLITE_OK && sqlite3_step(version) == SQLITE_ROW &&
                      sqlite3_column_int(version, 0) >= 1;
    rc = version ? sqlite3_finalize(version) : rc;
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        return fail(handle, QStringLiteral("别的程序正占用它，请稍后再试。"));
    if (!ours) return fail(handle, unusable);
    sqlite3_create_function_v2(handle, "val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               &ValFunction, nullptr, nullptr, nullptr);
    m_db = std::make_shared<SqliteDatabase>(handle);
    return true;
}

bool CADOConn::OpenServer(const QString& url, const QString& fileName) {
    const QString schemaName = store::SchemaName(fileName);
    QString reason;
    m_pg = PgDatabase::Session(url, schemaName, &reason, store::ReadLinkLimits(fileName));
    if (m_pg) return true;
    m_lastError = QStringLiteral("无法打开服务器上的数据“%1”：%2").arg(schemaName, reason);
    Reporter()(m_lastError);
    return false;
}

bool CADOConn::EnsureOpen(const QString& fileName) {
    if (m_db || m_pg) return true;
    if (m_openAttempted) return false;  // a failed open was already reported
    return OpenDatabase(fileName);
}

RecordsetPtr CADOConn::OpenRecordset(const QString& sql, const QString& fileName,
                                     const QVariantList& params) {
    auto rs = std::make_shared<CRecordset>();
    m_recordset = rs;
    // Whoever reads the failed recordset learns why from the database's own message.
    struct RecordFailure {
        CRecordset& rs;
        const QString& error;
        ~RecordFailure() {
            if (!rs.m_open) rs.m_failure = error;
        }
    } recordFailure{*rs, m_lastError};
    if (!EnsureOpen(fileName)) return rs;
    if (m_pg) {
        ReadServerRecordset(*rs, sql, params);
        return rs;
    }

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
        QString ignored;
        stmt = m_db->Prepare(withId, &ignored);
        withRowid = stmt != nullptr;
    }
    if (!stmt) stmt = m_db->Prepare(translated, &m_lastError);
    if (!stmt || !m_db->BindAll(stmt, params, &m_lastError)) return rs;

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
            const QString column = QString::fromUtf8(utf8);
            rs->m_columnIndex.insert(column, int(rs->m_columns.size()));
            rs->m_columns.append(column);
            rs->m_columnsUtf8.emplace_back(utf8);
        }
    }
    const int width = count - first;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        CRecordset::Row row;
        row.rowid = withRowid ? sqlite3_column_int64(stmt, 0) : 0;
        row.values.reserve(width);
        for (int i = first; i < count; ++i)
            row.values.push_back(SqliteDatabase::ColumnValue(stmt, i));
        rs->m_rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        m_lastError = m_db->Error();
        sqlite3_reset(stmt);
        rs->m_rows.clear();
        rs->m_columns.clear();
        rs->m_columnsUtf8.clear();
        rs->m_columnIndex.clear();
        return rs;
    }
    sqlite3_reset(stmt);
    rs->m_db = m_db;
    rs->m_table = oneTable ? table : QString();
    rs->m_open = true;
    return rs;
}

// Reading the rows' identity alongside lets them be written back; a statement that
// cannot carry it (joins, aggregates) gives read-only rows, as on the local files.
void CADOConn::ReadServerRecordset(CRecordset& rs, const QString& sql, const QVariantList& params) {
    static const QRegularExpression plainSelect(QStringLiteral("^\\s*select\\s+(?!distinct\\b)"),
                                                QRegularExpression::CaseInsensitiveOption);
    const QString translated = TranslateServerSql(sql);
    PgResult result;
    const auto match = plainSelect.match(translated);
    if (match.hasMatch()) {
        QString ignored;
        result = m_pg->Run(translated.left(match.capturedEnd()) + "ctid::text AS vemo_row, " +
                               translated.mid(match.capturedEnd()),
                           params, &ignored);
    }
    const bool withRowid = result.IsValid();
    if (!withRowid) result = m_pg->Run(translated, params, &m_lastError);
    if (!result.IsValid()) return;

    const int count = result.Columns();
    const int first = withRowid ? 1 : 0;
    unsigned table = count > first ? result.TableOid(first) : 0;
    for (int i = first; i < count; ++i) {
        if (result.TableOid(i) != table) table = 0;
        const QString column = result.ColumnName(i);
        rs.m_columnIndex.insert(column, int(rs.m_columns.size()));
        rs.m_columns.append(column);
        rs.m_columnsUtf8.emplace_back(column.toUtf8());
    }
    if (withRowid && table) {
        rs.m_table = m_pg->TableName(table);
        const QString key = m_pg->KeyColumn(rs.m_table);
        if (rs.m_columns.contains(key)) rs.m_serverKey = key;
    }
    const int keyIndex = rs.m_serverKey.isEmpty() ? -1 : int(rs.m_columns.indexOf(rs.m_serverKey));
    const int rows = result.Rows();
    rs.m_rows.reserve(size_t(rows));
    for (int r = 0; r < rows; ++r) {
        CRecordset::Row row;
        row.values.reserve(size_t(count - first));
        for (int i = first; i < count; ++i) row.values.push_back(result.Value(r, i));
        if (withRowid)
            row.rowid =
                keyIndex >= 0 ? row.values[keyIndex].toLongLong() : PackTupleId(result.Text(r, 0));
        rs.m_rows.push_back(std::move(row));
    }
    // The local files give the rows of a table in key order unless told otherwise; the
    // server gives them as they lie, which an update changes.
    static const QRegularExpression orderBy(QStringLiteral("\\border\\s+by\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (keyIndex >= 0 && !translated.contains(orderBy))
        std::stable_sort(
            rs.m_rows.begin(), rs.m_rows.end(),
            [](const CRecordset::Row& a, const CRecordset::Row& b) { return a.rowid < b.rowid; });
    rs.m_pg = m_pg;
    rs.m_open = true;
}

QString CRowReader::Text(int column) const {
    if (m_result) return m_result->Text(m_row, column);
    if (IsNull(column)) return QString();
    return Utf8Text(m_stmt, column);
}

bool CRowReader::IsNull(int column) const {
    if (m_result) return m_result->IsNull(m_row, column);
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

QByteArrayView CRowReader::Utf8(int column) const {
    if (m_result) return m_result->Utf8(m_row, column);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QByteArrayView(text, text ? sqlite3_column_bytes(m_stmt, column) : 0);
}

bool CADOConn::ExecuteStatement(const QString& sql, const QString& fileName,
                                const QVariantList& params) {
    if (!EnsureOpen(fileName)) return false;
    const QString head = sql.trimmed().left(6).toLower();
    const bool changesSchema = head == "create" || head == "drop t" || head == "alter ";
    if (m_pg) {
        const bool ok = m_pg->Run(TranslateServerSql(sql), params, &m_lastError).IsValid();
        if (changesSchema) m_pg->ForgetPrepared();
        return ok;
    }
    sqlite3_stmt* stmt = m_db->Prepare(TranslateJetSql(sql), &m_lastError);
    if (!stmt) return false;
    bool ok = m_db->BindAll(stmt, params, &m_lastError);
    if (ok) {
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        ok = rc == SQLITE_DONE;
        if (!ok) m_lastError = m_db->Error();
    }
    sqlite3_reset(stmt);
    // Schema statements invalidate cached statements; keep the cache small and correct.
    if (changesSchema) {
        for (sqlite3_stmt* cached : std::as_const(m_db->cache)) sqlite3_finalize(cached);
        m_db->cache.clear();
        m_db->keyColumns.clear();
    }
    return ok;
}

void CADOConn::ForEachRow(const QString& sql, const QString& fileName, const QVariantList& params,
                          const std::function<void(const CRowReader&)>& visit) {
    if (!EnsureOpen(fileName)) throw DatabaseError("cannot open " + fileName.toStdString());
    if (m_pg) {
        const PgResult result = m_pg->Run(TranslateServerSql(sql), params, &m_lastError);
        if (!result.IsValid()) ThrowServerFailure(*m_pg, "query failed: ", m_lastError);
        for (int row = 0; row < result.Rows(); ++row) visit(CRowReader(&result, row));
        return;
    }
    sqlite3_stmt* stmt = m_db->Prepare(TranslateJetSql(sql), &m_lastError);
    if (!stmt || !m_db->BindAll(stmt, params, &m_lastError))
        throw DatabaseError(("query failed: " + m_lastError).toStdString());
    // The cached statement is reset whatever the visit does.
    struct Reset {
        sqlite3_stmt* stmt;
        ~Reset() { sqlite3_reset(stmt); }
    } reset{stmt};
    const CRowReader reader(stmt);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) visit(reader);
    if (rc != SQLITE_DONE) {
        m_lastError = m_db->Error();
        throw DatabaseError(("query failed: " + m_lastError).toStdString());
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
    if (m_db && !sqlite3_get_autocommit(m_db->db)) RollbackTrans();
    if (m_pg && m_pg->TransactionOwnedBy(this)) RollbackTrans();
    m_recordset.reset();
    m_db.reset();
    m_pg.reset();
    m_openAttempted = false;
}

bool CADOConn::BeginTrans() {
    if (m_pg) return m_pg->Begin(this, &m_lastError);
    if (!m_db) return false;
    const int rc = sqlite3_exec(m_db->db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return true;
    m_lastError = rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? DatabaseBusyText() : m_db->Error();
    return false;
}

bool CADOConn::CommitTrans() {
    bool ok = false;
    if (m_pg)
        ok = m_pg->Commit(&m_lastError);
    else if (m_db) {
        const int rc = sqlite3_exec(m_db->db, "COMMIT", nullptr, nullptr, nullptr);
        ok = rc == SQLITE_OK;
        if (!ok)
            m_lastError =
                rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? DatabaseBusyText() : m_db->Error();
    }
    if (ok) ConflictWatch::NoteCommit();
    return ok;
}

bool CADOConn::RollbackTrans() {
    if (m_pg) return m_pg->Rollback(&m_lastError);
    if (!m_db) return false;
    return sqlite3_exec(m_db->db, "ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_OK;
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

// ---------------------------------------------------------------------------------------
// CTransaction

CTransaction::CTransaction(CADOConn& conn) : m_conn(conn), m_active(conn.BeginTrans()) {
    if (!m_active)
        throw DatabaseError(
            QStringLiteral("无法开始数据库事务：%1").arg(conn.LastError()).toStdString());
}

CTransaction::~CTransaction() {
    if (m_active) m_conn.RollbackTrans();
}

void CTransaction::Commit() {
    if (!m_active) throw DatabaseError("数据库事务已经结束。");
    m_active = false;
    if (!m_conn.CommitTrans()) {
        // A commit refused midway (a busy file) leaves the transaction open: undo it.
        m_conn.RollbackTrans();
        throw DatabaseError(
            QStringLiteral("数据未能保存：%1").arg(m_conn.LastError()).toStdString());
    }
}

void CTransaction::Rollback() {
    if (!m_active) return;
    m_active = false;
    m_conn.RollbackTrans();
}

// ---------------------------------------------------------------------------------------
// ConflictWatch

namespace {
// Per thread, since each thread is a station with sessions of its own.
thread_local quint64 t_conflicts = 0;
thread_local quint64 t_conflictsAtCommit = 0;
}  // namespace

ConflictWatch::ConflictWatch() : m_start(t_conflicts) {}

bool ConflictWatch::Lost() const {
    return t_conflicts != m_start && t_conflictsAtCommit != t_conflicts;
}

void ConflictWatch::NoteConflict() {
    ++t_conflicts;
}

void ConflictWatch::NoteCommit() {
    t_conflictsAtCommit = t_conflicts;
}

void ConflictWatch::PauseBefore(int attempt) {
    thread_local std::minstd_rand random(std::random_device{}());
    std::uniform_int_distribution<int> milliseconds(10, 50 * attempt);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds(random)));
}
