#include "data/transaction.h"

#include "data/adoconn.h"
#include "data/dberror.h"

namespace {

DatabaseError Retold(const DatabaseError& failure, QString (*text)(const QString&)) {
    return DatabaseError(failure.Kind(), text(failure.Text()), failure.Code());
}

}  // namespace

CTransaction::CTransaction(CADOConn& conn) : m_conn(conn) {
    try {
        conn.BeginTrans();
    } catch (const DatabaseError& failure) {
        throw Retold(failure, failure_text::NotBegun);
    }
    m_active = true;
}

CTransaction::~CTransaction() {
    if (m_active) m_conn.RollbackTrans();
}

void CTransaction::Commit() {
    if (!m_active) throw DatabaseError(QStringLiteral("数据库事务已经结束。"));
    m_active = false;
    try {
        m_conn.CommitTrans();
    } catch (const DatabaseError& failure) {
        // A commit refused midway (a busy file) leaves the transaction open: undo it.
        m_conn.RollbackTrans();
        throw Retold(failure, failure_text::NotStored);
    }
}

void CTransaction::Rollback() {
    if (!m_active) return;
    m_active = false;
    m_conn.RollbackTrans();
}
