#include "app/desktop.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
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
        return true;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(absolute));
}

}  // namespace desktop
