#include "app/desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include "app/testseams.h"

namespace desktop {
namespace {
QString Preset(std::deque<QString>& answers) {
    if (answers.empty()) return QString();
    QString answer = answers.front();
    answers.pop_front();
    return answer;
}
}  // namespace

QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& filter,
                        const QString& directory) {
    if (seams::Recorder* test = seams::Active()) {
        test->fileDialogs << caption;
        return Preset(test->openFileAnswers);
    }
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                        const QString& directory) {
    if (seams::Recorder* test = seams::Active()) {
        test->fileDialogs << caption;
        return Preset(test->saveFileAnswers);
    }
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}

bool OpenWithSystem(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (seams::Recorder* test = seams::Active()) {
        test->openedWithSystem << absolute;
        return test->systemOpensFiles;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(absolute));
}

QString DocumentsFolder() {
    if (seams::Recorder* test = seams::Active())
        return test->documentsFolder.isEmpty() ? QDir::currentPath() : test->documentsFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir().mkpath(documents)) return documents;
    return QDir::homePath();
}

}  // namespace desktop
