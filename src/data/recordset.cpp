#include "data/recordset.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "data/dberror.h"
#include "data/numbertext.h"

QString QuoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace('"', "\"\"");
    return '"' + quoted + '"';
}

void CRecordset::RequireOpen() const {
    if (!m_open) throw DatabaseError(QStringLiteral("记录集没有打开。"));
}

void CRecordset::RequireRow() const {
    RequireOpen();
    if (m_adding) return;
    if (m_currentDeleted) throw DatabaseError(QStringLiteral("当前记录已被删除。"));
    if (m_pos < 0 || m_pos >= long(m_rows.size()))
        throw DatabaseError(QStringLiteral("没有当前记录（已在第一条之前或最后一条之后）。"));
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
    if (m_pos >= long(m_rows.size()))
        throw DatabaseError(QStringLiteral("已在最后一条记录之后，不能再往后移。"));
    ++m_pos;
}

void CRecordset::MovePrevious() {
    StorePending();
    m_currentDeleted = false;
    if (m_pos < 0) throw DatabaseError(QStringLiteral("已在第一条记录之前，不能再往前移。"));
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
        throw DatabaseError(QStringLiteral("移动超出了记录集的范围。"));
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
    throw DatabaseError(QStringLiteral("数据中没有“%1”这一列。").arg(column));
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
    if (!m_writer) throw DatabaseError(QStringLiteral("这些记录是只读的，不能修改。"));
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
    if (!m_writer) throw DatabaseError(QStringLiteral("这些记录是只读的，不能修改。"));
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

void CRecordset::InsertPending() {
    if (m_insertSql.isEmpty() || m_insertColumns != m_changed) {
        m_insertColumns = m_changed;
        m_insertSql = InsertStatement();
    }
    QVariantList values;
    values.reserve(qsizetype(m_changed.size()));
    for (int index : m_changed) values << m_newValues[index];
    m_adding = false;
    m_changed.clear();
    if (m_keyColumn < 0) {
        const QString key = m_writer->KeyColumn(m_table);
        m_keyColumn = key.isEmpty() ? int(m_columns.size()) : int(m_columns.indexOf(key));
    }
    const bool withKey = m_keyColumn >= 0 && m_keyColumn < m_columns.size();
    RowWriter::Inserted inserted;
    try {
        inserted =
            m_writer->Insert(m_insertSql, values, withKey ? m_columns[m_keyColumn] : QString());
    } catch (const DatabaseError&) {
        m_newValues.clear();
        throw;
    }
    Row row;
    row.rowid = inserted.rowid;
    row.values = std::move(m_newValues);
    m_newValues.clear();
    if (withKey) row.values[m_keyColumn] = inserted.key;
    m_rows.push_back(std::move(row));
    m_pos = long(m_rows.size()) - 1;
}

void CRecordset::UpdatePending() {
    QString sql = "UPDATE " + QuoteIdentifier(m_table) + " SET ";
    QVariantList values;
    for (size_t i = 0; i < m_changed.size(); ++i) {
        if (i) sql += ',';
        sql += QuoteIdentifier(m_columns[m_changed[i]]) + "=?";
        values << m_newValues[m_changed[i]];
    }
    std::vector<QVariant> row = std::move(m_newValues);
    m_newValues.clear();
    m_changed.clear();
    m_rows[m_pos].rowid = m_writer->Update(sql, std::move(values), m_rows[m_pos].rowid);
    m_rows[m_pos].values = std::move(row);
}

void CRecordset::Delete() {
    RequireRow();
    if (!m_writer || m_adding) throw DatabaseError(QStringLiteral("这条记录不能删除。"));
    m_changed.clear();
    m_newValues.clear();
    m_writer->Delete(m_table, m_rows[m_pos].rowid);
    m_rows.erase(m_rows.begin() + m_pos);
    m_currentDeleted = true;
}

// ---------------------------------------------------------------------------------------
// RecordsetBuilder

void RecordsetBuilder::AddColumn(const QString& name, QByteArray utf8) {
    m_rs.m_columnIndex.insert(name, int(m_rs.m_columns.size()));
    m_rs.m_columns.append(name);
    m_rs.m_columnsUtf8.push_back(std::move(utf8));
}

void RecordsetBuilder::AddRow(qint64 rowid, std::vector<QVariant> values) {
    m_rs.m_rows.push_back(CRecordset::Row{rowid, std::move(values)});
}

void RecordsetBuilder::SortByRowId() {
    std::stable_sort(
        m_rs.m_rows.begin(), m_rs.m_rows.end(),
        [](const CRecordset::Row& a, const CRecordset::Row& b) { return a.rowid < b.rowid; });
}

void RecordsetBuilder::Open(const QString& table, std::shared_ptr<RowWriter> writer) {
    m_rs.m_table = table;
    if (!table.isEmpty()) m_rs.m_writer = std::move(writer);
    m_rs.m_open = true;
}
