#pragma once

#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>

#include "data/conflictretry.h"
#include "data/dberror.h"
#include "data/numbertext.h"
#include "data/recordset.h"
#include "data/rowreader.h"
#include "data/transaction.h"

class Engine;

// One connection to one of the data files. Each handler makes its own, uses it and
// closes it before it returns. SQL with user text always passes the values separately
// as bound parameters ("?" in the statement). Where the data lives (the local files or a
// server named in the folder's settings) is the engine's business, chosen on opening.
class CADOConn {
public:
    CADOConn();
    virtual ~CADOConn();
    CADOConn(const CADOConn&) = delete;
    CADOConn& operator=(const CADOConn&) = delete;

    // Opens a data file by name, relative to the current directory. The other calls open
    // it themselves when needed. Every failure of the data, here and below, raises
    // DatabaseError with the engine's code and the user's text.
    void OpenDatabase(const QString& fileName);
    RecordsetPtr OpenRecordset(const QString& sql, const QString& fileName,
                               const QVariantList& params = {});
    void ExecuteStatement(const QString& sql, const QString& fileName,
                          const QVariantList& params = {});
    // For a statement whose failure is expected and harmless (an index on a table a
    // damaged file lacks, tidying a scratch table on leaving a screen): false instead of
    // DatabaseError, also when the file cannot be opened.
    bool ExecuteIfPossible(const QString& sql, const QString& fileName,
                           const QVariantList& params = {});
    void CloseDatabase();

    // Reads the rows straight from the statement, with no snapshot: for long lists and
    // for the keys of a large selection.
    void ForEachRow(const QString& sql, const QString& fileName, const QVariantList& params,
                    const std::function<void(const CRowReader&)>& visit);
    // The number of rows of "select * from " + fromWhere, counted by the database.
    qint64 CountRows(const QString& fromWhere, const QString& fileName,
                     const QVariantList& params = {});

    // Several writes as one: everything between BeginTrans and CommitTrans is stored
    // together or, after RollbackTrans (or a close without commit), not at all.
    void BeginTrans();
    void CommitTrans();
    // Quietly: an undo that fails leaves nothing to do.
    void RollbackTrans();

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

private:
    Engine& EnsureOpen(const QString& fileName);

    std::unique_ptr<Engine> m_engine;
    RecordsetPtr m_recordset;
};
