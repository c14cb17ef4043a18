#include "app/datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "data/codes.h"
#include "data/pgengine.h"
#include "data/schema.h"
#include "sitedata.h"

namespace datafolder {
namespace {

const QString kFolderKey = QStringLiteral("data/folder");

QString Shown(const QString& folder) {
    return QDir::toNativeSeparators(folder);
}

QString PasswordAdvice() {
    return QStringLiteral(
               "系统管理员admin的初始密码是%1，考试管理员manager的初始密码是%2。"
               "请登录后立即修改这两个密码。")
        .arg(codes::InitialPassword(codes::Account::SystemAdmin),
             codes::InitialPassword(codes::Account::ExamAdmin));
}

bool IsNewOrEmpty(const QString& folder) {
    const QFileInfo info(folder);
    return !info.exists() ||
           (info.isDir() &&
            QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

// Makes the data of a new folder; what a failure left in it goes again.
Outcome MakeFolder(Choice choice, const QString& folder, const QString& serverUrl,
                   const QDateTime& now) {
    DataFolderOptions options;
    options.withSamples = choice == Choice::SampleFolder;
    if (choice == Choice::Server) {
        options.serverUrl = serverUrl.trimmed();
        if (options.serverUrl.isEmpty())
            return {false, QStringLiteral("请填写PostgreSQL服务器的连接地址，例如 "
                                          "postgresql://vemo@examhost/vemo 。")};
        QString ignored;
        if (PgDatabase::Connect(options.serverUrl, store::SchemaName(schema::kPersonnelFile),
                                &ignored))
            return {false, QStringLiteral("服务器上已有Vemo的数据。请把第一台电脑上的数据文件夹"
                                          "复制到本机，再选“使用已有的数据文件夹”。")};
    }
    const bool existed = QFileInfo::exists(folder);
    QString error;
    if (CreateSiteData(folder, now, options, &error)) return {true, QString()};
    QDir(folder).removeRecursively();
    if (existed) QDir().mkpath(folder);
    return {false, QStringLiteral("无法建立数据文件夹：%1").arg(error)};
}

}  // namespace

Located Locate(const Sources& sources) {
    if (!sources.current.isEmpty() && HoldsSiteData(sources.current))
        return {Absolute(sources.current), true};
    for (const QString& named : {sources.option, sources.environment, sources.remembered}) {
        if (named.trimmed().isEmpty()) continue;
        const QString folder = Absolute(named);
        return {folder, HoldsSiteData(folder)};
    }
    return {DefaultNewFolder(), false};
}

QString ConfigFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vemo/vemo.conf");
}

QString Remembered() {
    return QSettings(ConfigFile(), QSettings::IniFormat).value(kFolderKey).toString();
}

bool Remember(const QString& folder) {
    QSettings settings(ConfigFile(), QSettings::IniFormat);
    settings.setValue(kFolderKey, Absolute(folder));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString DefaultNewFolder() {
    return QDir::home().filePath(QStringLiteral("Vemo"));
}

QString Absolute(const QString& typed) {
    QString path = typed.trimmed();
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool Enter(const QString& folder) {
    if (!QDir::setCurrent(folder)) return false;
    schema::AddMissingIndexes();
    return true;
}

QString InUse() {
    return QDir::currentPath();
}

QString ServerInUse() {
    return store::ServerUrl(schema::kPersonnelFile);
}

QString TemplateFile(const QString& name) {
    if (QFileInfo::exists(name)) return QFileInfo(name).absoluteFilePath();
    // Installed: <prefix>/bin/vemo with <prefix>/share/vemo; in the build tree the
    // printed-paper template lies beside the program.
    const QString programs = QCoreApplication::applicationDirPath();
    for (const QString& folder : {programs + QStringLiteral("/../share/vemo"), programs}) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo::exists(path)) return QDir::cleanPath(path);
    }
    return QFileInfo(name).absoluteFilePath();
}

Outcome Choose(Choice choice, const QString& typedFolder, const QString& serverUrl,
               const QDateTime& now) {
    if (typedFolder.trimmed().isEmpty()) return {false, QStringLiteral("请填写数据文件夹的位置。")};
    const QString folder = Absolute(typedFolder);
    if (choice == Choice::ExistingFolder) {
        if (!HoldsSiteData(folder))
            return {false, QStringLiteral("文件夹“%1”里没有Vemo的数据文件"
                                          "（personnel.mdb和questions.mdb）。")
                               .arg(Shown(folder))};
    } else {
        if (!IsNewOrEmpty(folder))
            return {false, QStringLiteral("文件夹“%1”不是空的。新的数据文件夹请填写一个"
                                          "还不存在的或空的文件夹。")
                               .arg(Shown(folder))};
        Outcome made = MakeFolder(choice, folder, serverUrl, now);
        if (!made.entered) return made;
    }
    if (!Enter(folder))
        return {false, QStringLiteral("无法进入数据文件夹“%1”。").arg(Shown(folder))};
    Outcome outcome{true, QString()};
    if (choice == Choice::EmptySiteFolder || choice == Choice::Server)
        outcome.message =
            QStringLiteral("数据文件夹“%1”已建立。").arg(Shown(folder)) + PasswordAdvice();
    if (!Remember(folder))
        outcome.message += QStringLiteral("\n无法把所选的文件夹记入%1，下次启动时还需再选。")
                               .arg(Shown(ConfigFile()));
    return outcome;
}

}  // namespace datafolder
