#pragma once

#include <QtGlobal>
#include <type_traits>

#include "data/dberror.h"

// Watches this thread's statements while a unit of work runs: the server may choose one of
// them as the loser of a conflict with another station (a serialization failure or a
// deadlock, SQLSTATE 40001 and 40P01). Such a unit was rolled back and can simply be done
// again.
class ConflictWatch {
public:
    static constexpr int kAttempts = 5;
    ConflictWatch();
    // A statement lost a conflict since the watch began and no commit followed.
    bool Lost() const;
    // A short random wait before the next attempt, longer with each one, so that the
    // stations that collided do not collide again.
    static void PauseBefore(int attempt);
    // Called by the engine.
    static void NoteConflict();
    static void NoteCommit();

private:
    quint64 m_start;
};

// Runs `unit` (a whole unit of work that opens, fills and commits its own transaction)
// and runs it again from its start when it failed as the loser of a conflict, a few
// times; any other failure, or the last lost conflict, reaches the caller as `unit` gave it
// (a DatabaseError raised or the failed result returned).
template <class Unit>
auto RetryConflicts(Unit&& unit) -> decltype(unit()) {
    for (int attempt = 1;; ++attempt) {
        const ConflictWatch watch;
        const bool last = attempt == ConflictWatch::kAttempts;
        try {
            if constexpr (std::is_void_v<decltype(unit())>) {
                unit();
                if (last || !watch.Lost()) return;
            } else {
                auto result = unit();
                if (last || !watch.Lost()) return result;
            }
        } catch (const DatabaseError&) {
            if (last || !watch.Lost()) throw;
        }
        ConflictWatch::PauseBefore(attempt + 1);
    }
}
