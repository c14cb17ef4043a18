#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <vector>

// Writes the rows of a recordset back to the one table they came from, in the engine that
// read them. Row ids are the engine's own names for rows; failures raise DatabaseError.
class RowWriter {
public:
    virtual ~RowWriter() = default;
    // The table's integer key (the autonumber) column, or empty.
    virtual QString KeyColumn(const QString& table) = 0;
    struct Inserted {
        qint64 rowid = 0;
        QVariant key;  // the value the key column was given
    };
    // Runs "INSERT INTO table (…) VALUES (…)" with the values bound.
    virtual Inserted Insert(const QString& insertSql, const QVariantList& values,
                            const QString& keyColumn) = 0;
    // Runs "UPDATE table SET …" for one row; gives the row's id afterwards.
    virtual qint64 Update(const QString& updateSql, QVariantList values, qint64 rowid) = 0;
    virtual void Delete(const QString& table, qint64 rowid) = 0;
};

// A static snapshot of a query's rows. Moving around never touches the database;
// PutCollect/AddNew/Update/Delete write through to the one table the rows came from.
// Like the recordsets the screens were designed around, moving away from a row with
// pending changes stores them first.
class CRecordset {
public:
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
    friend class RecordsetBuilder;
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

    bool m_open = false;
    std::shared_ptr<RowWriter> m_writer;  // none when the rows cannot be written back
    QString m_table;
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

// A table or column name in double quotes, as both engines read it.
QString QuoteIdentifier(const QString& name);

// How an engine fills a recordset with what its query gave.
class RecordsetBuilder {
public:
    explicit RecordsetBuilder(CRecordset& rs) : m_rs(rs) {}
    void AddColumn(const QString& name, QByteArray utf8);
    void AddColumn(const QString& name) { AddColumn(name, name.toUtf8()); }
    const QStringList& Columns() const { return m_rs.m_columns; }
    void AddRow(qint64 rowid, std::vector<QVariant> values);
    void ReserveRows(size_t rows) { m_rs.m_rows.reserve(rows); }
    // Rows in the order of their ids, as the local files give a table's rows.
    void SortByRowId();
    // The rows are complete; with a table and a writer they can be written back.
    void Open(const QString& table, std::shared_ptr<RowWriter> writer);

private:
    CRecordset& m_rs;
};
