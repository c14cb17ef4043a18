#include "app/singleinstance.h"

#include <QDir>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

SingleInstanceGuard::SingleInstanceGuard(const QString& name) : m_name(name) {}

#ifdef Q_OS_WIN

SingleInstanceGuard::~SingleInstanceGuard() {
    if (m_handle) CloseHandle(m_handle);
}

bool SingleInstanceGuard::Acquire() {
    m_handle = CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(m_name.utf16()));
    return m_handle && GetLastError() != ERROR_ALREADY_EXISTS;
}

#else

SingleInstanceGuard::~SingleInstanceGuard() {
    if (m_fd >= 0) ::close(m_fd);
}

bool SingleInstanceGuard::Acquire() {
    // One lock file per user in the temporary folder; flock is dropped by the kernel
    // when the holder exits in any way.
    const QString path =
        QDir::temp().filePath(m_name + '-' + QString::number(::getuid()) + ".lock");
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) return true;  // no lock possible here: do not keep the program from running
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) return true;
    ::close(m_fd);
    m_fd = -1;
    return false;
}

#endif
