#include "data/ziparchive.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QDateTime>
#include <QFile>

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
            return Fail(error, "cannot add " + entry.name + " to the archive");
        const bool written = file.write(entry.data) == entry.data.size();
        file.close();
        if (!written || file.getZipError() != ZIP_OK)
            return Fail(error, "cannot write " + entry.name + " into the archive");
    }
    return true;
}

}  // namespace

std::optional<QList<Entry>> Read(const QString& path, QString* error) {
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip)) {
        Fail(error, path + " is not a readable zip archive");
        return std::nullopt;
    }
    QList<Entry> entries;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::ReadOnly)) {
            Fail(error, "cannot open " + zip.getCurrentFileName() + " in " + path);
            return std::nullopt;
        }
        Entry entry{zip.getCurrentFileName(), file.readAll()};
        file.close();
        if (file.getZipError() != UNZ_OK) {  // a CRC mismatch shows at closing
            Fail(error, entry.name + " in " + path + " is damaged");
            return std::nullopt;
        }
        entries.append(std::move(entry));
    }
    if (zip.getZipError() != UNZ_OK) {
        Fail(error, path + " is damaged");
        return std::nullopt;
    }
    return entries;
}

bool Write(const QString& path, const QList<Entry>& entries, QString* error) {
    const QString partial = path + ".part";
    QFile::remove(partial);
    QuaZip zip(partial);
    zip.setUtf8Enabled(true);
    if (!zip.open(QuaZip::mdCreate)) return Fail(error, "cannot create " + path);
    const bool written = WriteEntries(zip, entries, error);
    zip.close();
    if (!written || zip.getZipError() != ZIP_OK) {
        QFile::remove(partial);
        return written ? Fail(error, "cannot finish " + path) : false;
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return Fail(error, "cannot write " + path);
    }
    return true;
}

}  // namespace ziparchive
