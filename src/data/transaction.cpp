#include "data/transaction.h"

#include "data/adoconn.h"
#include "data/dberror.h"

CTransaction::CTransaction(CADOConn& conn) : m_conn(conn), m_active(conn.BeginTrans()) {
    if (!m_active)
        throw DatabaseError(
            QStringLiteral("无法开始数据库事务：%1").arg(conn.LastError()).toStdString());
}

CTransaction::~CTransaction() {
    if (m_active) m_conn.RollbackTrans();
}

void CTransaction::Commit() {
    if (!m_active) throw DatabaseError("数据库事务已经结束。");
    m_active = false;
    if (!m_conn.CommitTrans()) {
        // A commit refused midway (a busy file) leaves the transaction open: undo it.
        m_conn.RollbackTrans();
        throw DatabaseError(
            QStringLiteral("数据未能保存：%1").arg(m_conn.LastError()).toStdString());
    }
}

void CTransaction::Rollback() {
    if (!m_active) return;
    m_active = false;
    m_conn.RollbackTrans();
}
