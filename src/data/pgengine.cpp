#include "data/pgengine.h"

#include <libpq-fe.h>

#include <QRegularExpression>
#include <utility>
#include <vector>

#include "data/dberror.h"
#include "data/recordset.h"
#include "data/rowreader.h"

// ---------------------------------------------------------------------------------------
// PgResult

void PgResult::Free(pg_result* result) {
    PQclear(result);
}

int PgResult::Rows() const {
    return PQntuples(m_result.get());
}

int PgResult::Columns() const {
    return PQnfields(m_result.get());
}

QString PgResult::ColumnName(int column) const {
    return QString::fromUtf8(PQfname(m_result.get(), column));
}

unsigned PgResult::TableOid(int column) const {
    return PQftable(m_result.get(), column);
}

bool PgResult::IsNull(int row, int column) const {
    return PQgetisnull(m_result.get(), row, column);
}

QString PgResult::Text(int row, int column) const {
    if (IsNull(row, column)) return QString();
    return QString::fromUtf8(PQgetvalue(m_result.get(), row, column),
                             PQgetlength(m_result.get(), row, column));
}

QByteArrayView PgResult::Utf8(int row, int column) const {
    return QByteArrayView(PQgetvalue(m_result.get(), row, column),
                          PQgetlength(m_result.get(), row, column));
}

QVariant PgResult::Value(int row, int column) const {
    if (IsNull(row, column)) return QVariant();
    const char* text = PQgetvalue(m_result.get(), row, column);
    switch (PQftype(m_result.get(), column)) {
        case 16:  // bool
            return QVariant(qlonglong(text[0] == 't' ? 1 : 0));
        case 20:  // int8
        case 21:  // int2
        case 23:  // int4
            return QVariant(QByteArray(text).toLongLong());
        case 700:   // float4
        case 701:   // float8
        case 1700:  // numeric
            return QVariant(QByteArray(text).toDouble());
        case 17: {  // bytea
            size_t length = 0;
            unsigned char* bytes =
                PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
            QByteArray value(reinterpret_cast<const char*>(bytes), qsizetype(length));
            PQfreemem(bytes);
            return QVariant(value);
        }
        default:
            return QVariant(Text(row, column));
    }
}

// ---------------------------------------------------------------------------------------
// The engine on the server

namespace {

class PgRowReader final : public CRowReader {
public:
    PgRowReader(const PgResult& result, int row) : m_result(result), m_row(row) {}
    void MoveTo(int row) { m_row = row; }

private:
    int ColumnCount() const override { return m_result.Columns(); }
    // The server folds unquoted names to lower case (ID comes back as id).
    bool NameIs(int column, const char* name) const override {
        return m_result.ColumnName(column).compare(QString::fromUtf8(name), Qt::CaseInsensitive) ==
               0;
    }
    bool NullAt(int column) const override { return m_result.IsNull(m_row, column); }
    QString TextAt(int column) const override { return m_result.Text(m_row, column); }
    QString ValueTextAt(int column) const override { return m_result.Text(m_row, column); }
    qint64 IntegerAt(int column) const override {
        return m_result.Value(m_row, column).toLongLong();
    }
    QByteArrayView Utf8At(int column) const override { return m_result.Utf8(m_row, column); }

    const PgResult& m_result;
    int m_row;
};

// Rows are named by the table's key, or else by their tuple id, which an update moves.
class PgRowWriter final : public RowWriter {
public:
    PgRowWriter(std::shared_ptr<PgDatabase> db, QString serverKey)
        : m_db(std::move(db)), m_serverKey(std::move(serverKey)) {}

    QString KeyColumn(const QString& table) override { return m_db->KeyColumn(table); }

    Inserted Insert(const QString& insertSql, const QVariantList& values,
                    const QString& keyColumn) override {
        QString sql = insertSql + " RETURNING ctid::text";
        if (!keyColumn.isEmpty()) sql += "," + QuoteIdentifier(keyColumn);
        QString error;
        const PgResult result = m_db->Run(TranslateServerSql(sql), values, &error);
        if (!result.IsValid() || result.Rows() != 1) throw m_db->FailureOf(error);
        Inserted inserted;
        if (!keyColumn.isEmpty()) inserted.key = result.Value(0, 1);
        inserted.rowid =
            m_serverKey.isEmpty() ? PackTupleId(result.Text(0, 0)) : inserted.key.toLongLong();
        return inserted;
    }

    qint64 Update(const QString& updateSql, QVariantList values, qint64 rowid) override {
        values << RowValue(rowid);
        QString error;
        const PgResult result =
            m_db->Run(TranslateServerSql(updateSql + RowCondition() + " RETURNING ctid::text"),
                      values, &error);
        if (!result.IsValid()) throw m_db->FailureOf(error);
        if (m_serverKey.isEmpty() && result.Rows() == 1) return PackTupleId(result.Text(0, 0));
        return rowid;
    }

    void Delete(const QString& table, qint64 rowid) override {
        QString error;
        const PgResult result =
            m_db->Run(TranslateServerSql("DELETE FROM " + QuoteIdentifier(table) + RowCondition()),
                      {RowValue(rowid)}, &error);
        if (!result.IsValid()) throw m_db->FailureOf(error);
    }

private:
    QString RowCondition() const {
        return m_serverKey.isEmpty() ? QStringLiteral(" WHERE ctid=?::tid")
                                     : " WHERE " + QuoteIdentifier(m_serverKey) + "=?";
    }
    QVariant RowValue(qint64 rowid) const {
        return m_serverKey.isEmpty() ? QVariant(TupleIdText(rowid)) : QVariant(rowid);
    }

    std::shared_ptr<PgDatabase> m_db;
    QString m_serverKey;
};

class PgEngine final : public Engine {
public:
    explicit PgEngine(std::shared_ptr<PgDatabase> db) : m_db(std::move(db)) {}

    void Read(RecordsetBuilder& rs, const QString& sql, const QVariantList& params) override;
    void Execute(const QString& sql, const QVariantList& params) override {
        QString error;
        const bool ok = m_db->Run(TranslateServerSql(sql), params, &error).IsValid();
        const QString head = sql.trimmed().left(6).toLower();
        if (head == "create" || head == "drop t" || head == "alter ") m_db->ForgetPrepared();
        if (!ok) throw m_db->FailureOf(error);
    }
    void ForEachRow(const QString& sql, const QVariantList& params,
                    const std::function<void(const CRowReader&)>& visit) override {
        QString error;
        const PgResult result = m_db->Run(TranslateServerSql(sql), params, &error);
        if (!result.IsValid()) throw m_db->FailureOf(error);
        PgRowReader reader(result, 0);
        for (int row = 0; row < result.Rows(); ++row) {
            reader.MoveTo(row);
            visit(reader);
        }
    }

    void Begin() override {
        QString error;
        if (!m_db->Begin(this, &error)) throw m_db->FailureOf(error);
    }
    void Commit() override {
        QString error;
        if (!m_db->Commit(&error)) throw m_db->FailureOf(error);
    }
    void Rollback() override { m_db->Rollback(nullptr); }
    bool InTransaction() const override { return m_db->TransactionOwnedBy(this); }

private:
    std::shared_ptr<PgDatabase> m_db;
};

// Reading the rows' identity alongside lets them be written back; a statement that
// cannot carry it (joins, aggregates) gives read-only rows, as on the local files.
void PgEngine::Read(RecordsetBuilder& rs, const QString& sql, const QVariantList& params) {
    static const QRegularExpression plainSelect(QStringLiteral("^\\s*select\\s+(?!distinct\\b)"),
                                                QRegularExpression::CaseInsensitiveOption);
    const QString translated = TranslateServerSql(sql);
    PgResult result;
    const auto match = plainSelect.match(translated);
    if (match.hasMatch())
        result = m_db->Run(translated.left(match.capturedEnd()) + "ctid::text AS vemo_row, " +
                               translated.mid(match.capturedEnd()),
                           params, nullptr);
    const bool withRowid = result.IsValid();
    QString error;
    if (!withRowid) result = m_db->Run(translated, params, &error);
    if (!result.IsValid()) throw m_db->FailureOf(error);

    const int count = result.Columns();
    const int first = withRowid ? 1 : 0;
    unsigned tableOid = count > first ? result.TableOid(first) : 0;
    for (int i = first; i < count; ++i) {
        if (result.TableOid(i) != tableOid) tableOid = 0;
        rs.AddColumn(result.ColumnName(i));
    }
    QString table, serverKey;
    if (withRowid && tableOid) {
        table = m_db->TableName(tableOid);
        const QString key = m_db->KeyColumn(table);
        if (rs.Columns().contains(key)) serverKey = key;
    }
    const int keyIndex = serverKey.isEmpty() ? -1 : int(rs.Columns().indexOf(serverKey));
    const int rows = result.Rows();
    rs.ReserveRows(size_t(rows));
    for (int r = 0; r < rows; ++r) {
        std::vector<QVariant> values;
        values.reserve(size_t(count - first));
        for (int i = first; i < count; ++i) values.push_back(result.Value(r, i));
        qint64 rowid = 0;
        if (withRowid)
            rowid = keyIndex >= 0 ? values[keyIndex].toLongLong() : PackTupleId(result.Text(r, 0));
        rs.AddRow(rowid, std::move(values));
    }
    // The local files give the rows of a table in key order unless told otherwise; the
    // server gives them as they lie, which an update changes.
    static const QRegularExpression orderBy(QStringLiteral("\\border\\s+by\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (keyIndex >= 0 && !translated.contains(orderBy)) rs.SortByRowId();
    rs.Open(table, std::make_shared<PgRowWriter>(m_db, serverKey));
}

}  // namespace

namespace server_engine {

std::unique_ptr<Engine> Open(const QString& url, const QString& fileName) {
    const QString schemaName = store::SchemaName(fileName);
    QString reason;
    std::shared_ptr<PgDatabase> db =
        PgDatabase::Session(url, schemaName, &reason, store::ReadLinkLimits(fileName));
    if (!db) {
        // The server answered, but holds no such data; else it could not be reached or
        // refused the station.
        const DataFailure kind = reason == failure_text::NoServerData(schemaName)
                                     ? DataFailure::FileMissing
                                     : DataFailure::ServerLost;
        throw DatabaseError(kind, failure_text::ServerDataUnopened(schemaName, reason));
    }
    return std::make_unique<PgEngine>(std::move(db));
}

}  // namespace server_engine
