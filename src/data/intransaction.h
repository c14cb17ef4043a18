#pragma once

#include <QString>
#include <type_traits>
#include <utility>

#include "data/adoconn.h"

// Runs one unit of work on its own connection to `file`, inside one transaction, and
// commits it: `unit(conn)`, or `unit(conn, transaction)` for a unit that may decide to
// store nothing (it calls transaction.Rollback() and returns). A unit the server made the
// loser of a conflict (SQLSTATE 40001, 40P01) is run again from its start. A file that
// cannot be opened, a transaction that cannot begin or commit, or a DatabaseError of the
// unit reaches the caller as DatabaseError, with nothing of the unit stored. Returns what
// the unit returns.
template <class Unit>
decltype(auto) InTransaction(const QString& file, Unit&& unit) {
    return RetryConflicts([&]() -> decltype(auto) {
        CADOConn conn;
        conn.OpenDatabase(file);
        CTransaction transaction(conn);
        auto run = [&]() -> decltype(auto) {
            if constexpr (std::is_invocable_v<Unit&, CADOConn&, CTransaction&>)
                return unit(conn, transaction);
            else
                return unit(conn);
        };
        using Result = decltype(run());
        if constexpr (std::is_void_v<Result>) {
            run();
            if (transaction.IsActive()) transaction.Commit();
        } else {
            Result result = run();
            if (transaction.IsActive()) transaction.Commit();
            return result;
        }
    });
}
