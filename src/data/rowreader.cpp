#include "data/rowreader.h"

#include "data/dberror.h"

int CRowReader::Index(const char* column) const {
    for (const auto& [name, index] : m_found)
        if (name == column) return index;
    const int count = ColumnCount();
    for (int i = 0; i < count; ++i) {
        if (NameIs(i, column)) {
            m_found.emplace_back(column, i);
            return i;
        }
    }
    throw DatabaseError(QStringLiteral("数据中没有“%1”这一列。").arg(QString::fromUtf8(column)));
}

QString CRowReader::Text(const char* column) const {
    const int i = Index(column);
    return NullAt(i) ? QString("") : ValueTextAt(i);
}
