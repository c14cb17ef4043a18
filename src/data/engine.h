#pragma once

#include <QString>
#include <QVariantList>
#include <functional>

class CRowReader;
class RecordsetBuilder;

// One open connection to a data file in one engine: the local SQLite files, or a schema
// of a PostgreSQL database. CADOConn speaks to the data through this alone. Statements are
// in the program's SQL; each engine spells them its own way. Every failure raises
// DatabaseError with the engine's code and the user's text.
class Engine {
public:
    virtual ~Engine() = default;

    // Fills the recordset with the rows of a query; rows of a plain select over one table
    // can be written back.
    virtual void Read(RecordsetBuilder& rs, const QString& sql, const QVariantList& params) = 0;
    virtual void Execute(const QString& sql, const QVariantList& params) = 0;
    virtual void ForEachRow(const QString& sql, const QVariantList& params,
                            const std::function<void(const CRowReader&)>& visit) = 0;

    virtual void Begin() = 0;
    virtual void Commit() = 0;
    // Quietly: an undo that fails leaves nothing to do.
    virtual void Rollback() = 0;
    // A transaction this connection began is still open.
    virtual bool InTransaction() const = 0;
};
