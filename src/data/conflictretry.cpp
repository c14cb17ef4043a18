#include "data/conflictretry.h"

#include <chrono>
#include <random>
#include <thread>

namespace {
// Per thread, since each thread is a station with sessions of its own.
thread_local quint64 t_conflicts = 0;
thread_local quint64 t_conflictsAtCommit = 0;
}  // namespace

ConflictWatch::ConflictWatch() : m_start(t_conflicts) {}

bool ConflictWatch::Lost() const {
    return t_conflicts != m_start && t_conflictsAtCommit != t_conflicts;
}

void ConflictWatch::NoteConflict() {
    ++t_conflicts;
}

void ConflictWatch::NoteCommit() {
    t_conflictsAtCommit = t_conflicts;
}

void ConflictWatch::PauseBefore(int attempt) {
    thread_local std::minstd_rand random(std::random_device{}());
    std::uniform_int_distribution<int> milliseconds(10, 50 * attempt);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds(random)));
}
