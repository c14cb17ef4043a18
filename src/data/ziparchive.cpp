#include "data/ziparchive.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QDateTime>
#include <QFile>
#include <algorithm>

namespace ziparchive {
namespace {

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

// A fixed time stamp keeps archives made from the same parts byte for byte the same.
const QDateTime& StoredTime() {
    static const QDateTime time(QDate(2026, 1, 1), QTime(0, 0));
    return time;
}

bool WriteEntries(QuaZip& zip, const QList<Entry>& entries, QString* error) {
    for (const Entry& entry : entries) {
        QuaZipFile file(&zip);
        QuaZipNewInfo info(entry.name);
        info.dateTime = StoredTime();
        info.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                            QFile::ReadOther);
        if (!file.open(QIODevice::WriteOnly, info, nullptr, 0, Z_DEFLATED, Z_DEFAULT_COMPRESSION))
            return Fail(error, QStringLiteral("无法向压缩文件加入“%1”").arg(entry.name));
        const bool written = file.write(entry.data) == entry.data.size();
        file.close();
        if (!written || file.getZipError() != ZIP_OK)
            return Fail(error, QStringLiteral("无法写入“%1”").arg(entry.name));
    }
    return true;
}

}  // namespace

std::optional<QList<Entry>> Read(const QString& path, QString* error) {
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip)) {
        Fail(error, QStringLiteral("它不是可以读取的压缩文件"));
        return std::nullopt;
    }
    QList<Entry> entries;
    qint64 inflated = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFile file(&zip);
        const QString name = zip.getCurrentFileName();
        if (!file.open(QIODevice::ReadOnly)) {
            Fail(error, QStringLiteral("无法解压“%1”").arg(name));
            return std::nullopt;
        }
        // Inflated piece by piece: the size the entry claims is not to be trusted.
        constexpr qint64 kChunk = 256 * 1024;
        Entry entry{name, {}};
        for (;;) {
            const qsizetype filled = entry.data.size();
            entry.data.resize(filled + kChunk);
            const qint64 read = file.read(entry.data.data() + filled, kChunk);
            entry.data.resize(filled + std::max<qint64>(read, 0));
            if (read < 0) {
                Fail(error, QStringLiteral("无法解压“%1”").arg(name));
                return std::nullopt;
            }
            if (read == 0) break;
            inflated += read;
            const qint64 exceeded = entry.data.size() > kEntryLimit ? kEntryLimit
                                    : inflated > kArchiveLimit      ? kArchiveLimit
                                                                    : 0;
            if (exceeded > 0) {
                Fail(error, QStringLiteral("“%1”解压后超过%2 MB").arg(name).arg(exceeded >> 20));
                return std::nullopt;
            }
        }
        file.close();
        if (file.getZipError() != UNZ_OK) {  // a CRC mismatch shows at closing
            Fail(error, QStringLiteral("“%1”校验失败").arg(name));
            return std::nullopt;
        }
        entries.append(std::move(entry));
    }
    if (zip.getZipError() != UNZ_OK) {
        Fail(error, QStringLiteral("压缩文件的目录已损坏"));
        return std::nullopt;
    }
    return entries;
}

bool Write(const QString& path, const QList<Entry>& entries, QString* error) {
    const QString partial = path + ".part";
    QFile::remove(partial);
    QuaZip zip(partial);
    zip.setUtf8Enabled(true);
    if (!zip.open(QuaZip::mdCreate)) return Fail(error, QStringLiteral("无法创建%1").arg(path));
    const bool written = WriteEntries(zip, entries, error);
    zip.close();
    if (!written || zip.getZipError() != ZIP_OK) {
        QFile::remove(partial);
        return written ? Fail(error, QStringLiteral("无法写完%1").arg(path)) : false;
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return Fail(error, QStringLiteral("无法写入%1").arg(path));
    }
    return true;
}

}  // namespace ziparchive
