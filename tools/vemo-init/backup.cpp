#include "backup.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "data/schema.h"
#include "sitedata.h"

namespace {

const QString kPictureFolder = QStringLiteral("QuestionMap");
// The folder's own files besides the data files and the pictures.
const QStringList kFolderFiles = {QStringLiteral("vemoconf.ini"), QStringLiteral("examinee.xls"),
                                  QStringLiteral("questions.xls"), QStringLiteral("wordtest.docx")};
constexpr qint64 kChunk = qint64(1) << 20;

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

QStringList DataFiles() {
    return {schema::kQuestionsFile, schema::kPersonnelFile};
}

// Copies the data file `from` into the new file `to` with SQLite's online backup, in one
// step: the whole file is read under one read lock, so the copy shows it at one moment
// between two transactions. While a station writes, the lock is refused; try again.
bool CopyDatabase(const QString& from, const QString& to, QString* error) {
    sqlite3* source = nullptr;
    sqlite3* target = nullptr;
    int rc = sqlite3_open_v2(from.toUtf8().constData(), &source, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_open_v2(to.toUtf8().constData(), &target,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(source, 5000);
        sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
        if (!backup) {
            rc = sqlite3_errcode(target);
        } else {
            for (int attempt = 0;; ++attempt) {
                rc = sqlite3_backup_step(backup, -1);
                if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || attempt == 600) break;
                sqlite3_sleep(50);
            }
            const int finished = sqlite3_backup_finish(backup);
            if (rc == SQLITE_DONE) rc = finished;
        }
    }
    const QString reason = QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_close_v2(source);
    sqlite3_close_v2(target);
    return rc == SQLITE_OK || Fail(error, "cannot copy " + from + ": " + reason);
}

bool AddFile(QuaZip& zip, const QString& path, const QString& name, QString* error) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) return Fail(error, "cannot read " + path);
    QuaZipFile out(&zip);
    if (!out.open(QIODevice::WriteOnly, QuaZipNewInfo(name, path), nullptr, 0, Z_DEFLATED,
                  Z_DEFAULT_COMPRESSION))
        return Fail(error, "cannot add " + name + " to the archive");
    bool written = true;
    while (written && !in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        written = !chunk.isEmpty() && out.write(chunk) == chunk.size();
    }
    out.close();
    return (written && out.getZipError() == ZIP_OK) ||
           Fail(error, "cannot write " + name + " into the archive");
}

// The archive's entries: the name inside it and the file it comes from.
QList<std::pair<QString, QString>> FolderEntries(const QDir& folder) {
    QList<std::pair<QString, QString>> entries;
    for (const QString& name : kFolderFiles)
        if (QFileInfo(folder.filePath(name)).isFile())
            entries.append({name, folder.filePath(name)});
    const QDir pictures(folder.filePath(kPictureFolder));
    for (const QFileInfo& picture : pictures.entryInfoList(QDir::Files, QDir::Name))
        entries.append({kPictureFolder + '/' + picture.fileName(), picture.filePath()});
    return entries;
}

// Only the names an archive of ours holds: no path leads out of the folder.
bool IsArchiveName(const QString& name) {
    static const QRegularExpression picture(QStringLiteral("^QuestionMap/[^/\\\\]+$"));
    return DataFiles().contains(name) || kFolderFiles.contains(name) ||
           (picture.match(name).hasMatch() && !name.endsWith(QLatin1String("/..")) &&
            !name.endsWith(QLatin1String("/.")));
}

QString IntegrityOf(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_stmt* check = nullptr;
    QString verdict = QStringLiteral("cannot be opened");
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
            SQLITE_OK &&
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK) {
        verdict =
            sqlite3_step(check) == SQLITE_ROW
                ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)))
                : QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_finalize(check);
    sqlite3_close_v2(db);
    return verdict;
}

bool Unpack(QuaZip& zip, const QDir& target, QString* error) {
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        const QString name = zip.getCurrentFileName();
        if (!IsArchiveName(name)) return Fail(error, "it holds the unexpected entry " + name);
        QuaZipFile in(&zip);
        QFile out(target.filePath(name));
        if (!in.open(QIODevice::ReadOnly)) return Fail(error, "cannot read " + name);
        if (!out.open(QIODevice::WriteOnly)) return Fail(error, "cannot write " + out.fileName());
        bool copied = true;
        while (copied && !in.atEnd()) {
            const QByteArray chunk = in.read(kChunk);
            copied = !chunk.isEmpty() && out.write(chunk) == chunk.size();
        }
        in.close();  // a damaged entry fails its checksum here
        if (!copied || in.getZipError() != UNZ_OK || !out.flush())
            return Fail(error, name + " is damaged");
    }
    return zip.getZipError() == UNZ_OK || Fail(error, "its table of contents is damaged");
}

void EmptyFolder(const QDir& folder) {
    for (const QFileInfo& entry :
         folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

}  // namespace

bool BackupDataFolder(const QString& folder, const QString& archive, QString* error) {
    const QDir dir(folder);
    if (!HoldsSiteData(folder)) return Fail(error, folder + " holds no data of the program");
    if (QFileInfo::exists(archive)) return Fail(error, archive + " exists already");
    QTemporaryDir copies;
    if (!copies.isValid()) return Fail(error, "cannot make a temporary folder");
    QList<std::pair<QString, QString>> entries;
    for (const QString& name : DataFiles()) {
        if (!QFileInfo(dir.filePath(name)).isFile()) continue;  // on a server
        if (!CopyDatabase(dir.filePath(name), copies.filePath(name), error)) return false;
        entries.append({name, copies.filePath(name)});
    }
    entries += FolderEntries(dir);

    const QString partial = archive + ".part";
    QFile::remove(partial);
    QuaZip zip(partial);
    zip.setUtf8Enabled(true);
    zip.setZip64Enabled(true);
    if (!zip.open(QuaZip::mdCreate)) return Fail(error, "cannot create " + archive);
    bool written = true;
    for (const auto& [name, path] : entries)
        if (!(written = AddFile(zip, path, name, error))) break;
    zip.close();
    if (written && zip.getZipError() != ZIP_OK) written = Fail(error, "cannot finish " + archive);
    if (!written || !QFile::rename(partial, archive)) {
        QFile::remove(partial);
        return written ? Fail(error, "cannot write " + archive) : false;
    }
    return true;
}

bool RestoreDataFolder(const QString& archive, const QString& folder, QString* error) {
    const QFileInfo target(folder);
    if (target.exists() && !target.isDir()) return Fail(error, folder + " is not a folder");
    QDir dir(folder);
    if (target.exists() &&
        !dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        return Fail(error, folder + " is not empty; restore into an empty or new folder");
    if (!QFileInfo(archive).isFile()) return Fail(error, archive + " does not exist");
    QuaZip zip(archive);
    if (!zip.open(QuaZip::mdUnzip))
        return Fail(error, archive + " is damaged or not a zip archive; nothing was restored");
    if (!QDir().mkpath(dir.filePath(kPictureFolder)))
        return Fail(error, "cannot create " + dir.filePath(kPictureFolder));

    QString reason;
    bool restored = Unpack(zip, dir, &reason);
    zip.close();
    if (restored && !HoldsSiteData(folder)) {
        restored = false;
        reason = "it holds no data files";
    }
    for (const QString& name : DataFiles()) {
        if (!restored || !QFileInfo(dir.filePath(name)).isFile()) continue;
        const QString verdict = IntegrityOf(dir.filePath(name));
        if (verdict != QLatin1String("ok")) {
            restored = false;
            reason = name + " fails its integrity check: " + verdict;
        }
    }
    if (restored) return true;
    EmptyFolder(dir);
    return Fail(error, archive + " is not a usable backup (" + reason + "); nothing was restored");
}
