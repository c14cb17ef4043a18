#include "app/singleinstance.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

namespace {

bool OwnFolder(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid();
}

// One place per user, whatever TMPDIR says: the user's runtime folder, or else a
// folder of his own under /tmp.
QString LockFolder() {
    const QString runtime = QStringLiteral("/run/user/%1").arg(::getuid());
    if (OwnFolder(runtime)) return runtime;
    const QString own = QStringLiteral("/tmp/vemo-%1").arg(::getuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return OwnFolder(own) ? own : QString();
}

}  // namespace

bool SingleInstanceGuard::Acquire() {
    const QString folder = LockFolder();
    if (folder.isEmpty())
        return true;  // no lock possible here: do not keep the program from running
    const QString path = m_lockFile = folder + '/' + m_name + ".lock";
    // flock is dropped by the kernel when the holder exits in any way.
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                  0600);
    if (m_fd < 0) return true;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) return true;
    ::close(m_fd);
    m_fd = -1;
    return false;
}

#endif
