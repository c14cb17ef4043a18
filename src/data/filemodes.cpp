#include "data/filemodes.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace filemodes {
namespace {

#ifdef Q_OS_UNIX
mode_t& UserUmask() {
    static mode_t mask = [] {
        const mode_t current = umask(0);
        umask(current);
        return current;
    }();
    return mask;
}
#endif

}  // namespace

void KeepFromOthers() {
#ifdef Q_OS_UNIX
    umask(UserUmask() | S_IRWXO);
#endif
}

void FollowUserUmask(const QString& path) {
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    chmod(name.constData(), 0666 & ~UserUmask());
#else
    Q_UNUSED(path);
#endif
}

bool WritableByOthers(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.permission(QFile::WriteOther);
}

}  // namespace filemodes
