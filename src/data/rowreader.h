#pragma once

#include <QByteArrayView>
#include <QString>
#include <utility>
#include <vector>

// The row a query is at while CADOConn::ForEachRow reads it; valid only inside the visit.
// Values by column name or by position in the statement's order. Each engine reads its
// own rows; the names and the empty text of NULL are the same for both.
class CRowReader {
public:
    CRowReader(const CRowReader&) = delete;
    CRowReader& operator=(const CRowReader&) = delete;

    // NULL reads as the empty string, numbers as the data files store them.
    QString Text(const char* column) const;
    qint64 Integer(const char* column) const { return IntegerAt(Index(column)); }
    bool IsNull(const char* column) const { return NullAt(Index(column)); }
    // The stored text as it is; NULL gives a null QString.
    QString Text(int column) const { return NullAt(column) ? QString() : TextAt(column); }
    bool IsNull(int column) const { return NullAt(column); }
    // The stored text's UTF-8 bytes, without a copy: for comparing many rows quickly.
    QByteArrayView Utf8(int column) const { return Utf8At(column); }

protected:
    CRowReader() = default;
    ~CRowReader() = default;

    virtual int ColumnCount() const = 0;
    virtual bool NameIs(int column, const char* name) const = 0;
    virtual bool NullAt(int column) const = 0;
    // The stored text of a column that is not NULL.
    virtual QString TextAt(int column) const = 0;
    // As TextAt, with floating-point numbers in the files' decimal text.
    virtual QString ValueTextAt(int column) const = 0;
    virtual qint64 IntegerAt(int column) const = 0;
    virtual QByteArrayView Utf8At(int column) const = 0;

private:
    int Index(const char* column) const;
    // Columns already found, by the address of the name: a visit asks for the same
    // literals on every row.
    mutable std::vector<std::pair<const char*, int>> m_found;
};
