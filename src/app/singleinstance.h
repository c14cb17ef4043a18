#pragma once

#include <QString>

// Keeps a second copy of the program away from the data files. The lock is held by the
// system for the process, so it is released even when the first copy dies.
class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const QString& name);
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // False when another process holds the lock.
    bool Acquire();
    // The lock file, once Acquire found its place (tests remove theirs).
    QString LockFile() const { return m_lockFile; }

private:
    QString m_name;
    QString m_lockFile;
#ifdef Q_OS_WIN
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};
