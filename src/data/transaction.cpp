#include "data/transaction.h"

#include "data/adoconn.h"
#include "data/dberror.h"

CTransaction::CTransaction(CADOConn& conn) : m_conn(conn), m_active(conn.BeginTrans()) {
    if (!m_active) {
        const DatabaseError failure = conn.LastFailure();
        throw DatabaseError(failure.Kind(), failure_text::NotBegun(failure.Text()), failure.Code());
    }
}

CTransaction::~CTransaction() {
    if (m_active) m_conn.RollbackTrans();
}

void CTransaction::Commit() {
    if (!m_active) throw DatabaseError(QStringLiteral("数据库事务已经结束。"));
    m_active = false;
    if (!m_conn.CommitTrans()) {
        // A commit refused midway (a busy file) leaves the transaction open: undo it.
        m_conn.RollbackTrans();
        const DatabaseError failure = m_conn.LastFailure();
        throw DatabaseError(failure.Kind(), failure_text::NotStored(failure.Text()),
                            failure.Code());
    }
}

void CTransaction::Rollback() {
    if (!m_active) return;
    m_active = false;
    m_conn.RollbackTrans();
}
