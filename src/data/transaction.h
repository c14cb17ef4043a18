#pragma once

class CADOConn;

// Rolls back on destruction unless committed, so an error or early return midway
// leaves the old state. A transaction that cannot begin raises DatabaseError (the file
// busy past the wait, the server lost): nothing can then be written outside it.
class CTransaction {
public:
    explicit CTransaction(CADOConn& conn);
    ~CTransaction();
    CTransaction(const CTransaction&) = delete;
    CTransaction& operator=(const CTransaction&) = delete;
    bool IsActive() const { return m_active; }
    // Raises DatabaseError when the database refuses the commit; nothing is stored then.
    void Commit();
    // Undoes what was written so far; the transaction is over.
    void Rollback();

private:
    CADOConn& m_conn;
    bool m_active = false;
};
