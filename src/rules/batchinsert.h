#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

class CADOConn;

// Inserts many rows with a few statements of many rows each: on a server every statement
// is a round trip. Raises DatabaseError when a statement fails.
void InsertRows(CADOConn& conn, const QString& file, const QString& table,
                const QStringList& columns, const std::vector<QVariantList>& rows);
