#include "app/desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTextDocument>
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

QString AskPassword(QWidget* parent, const QString& title, const QString& label) {
    if (seams::Recorder* test = seams::Active()) {
        test->passwordDialogs << label;
        return Preset(test->passwordAnswers);
    }
    bool ok = false;
    const QString password =
        QInputDialog::getText(parent, title, label, QLineEdit::Password, QString(), &ok);
    return ok ? password : QString();
}

bool Print(QWidget* parent, QTextDocument& document, const QString& title) {
    if (seams::Recorder* test = seams::Active()) {
        test->printed << title;
        return true;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted) return false;
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                        const QString& directory) {
    if (seams::Recorder* test = seams::Active()) {
        test->fileDialogs << caption;
        test->suggestedSavePaths << directory;
        return Preset(test->saveFileAnswers);
    }
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}

QString GetExistingDirectory(QWidget* parent, const QString& caption, const QString& directory) {
    if (seams::Recorder* test = seams::Active()) {
        test->fileDialogs << caption;
        return Preset(test->openFileAnswers);
    }
    return QFileDialog::getExistingDirectory(parent, caption, directory);
}

bool HasProgramFor(const QString& path) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString mimeType = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished();
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           !query.readAllStandardOutput().trimmed().isEmpty();
#else
    Q_UNUSED(path);
    return true;
#endif
}

bool OpenWithSystem(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (seams::Recorder* test = seams::Active()) {
        test->openedWithSystem << absolute;
        return test->systemOpensFiles;
    }
    // xdg-open is started without waiting for it, so opening "succeeds" even when no
    // program takes the file: the user would see nothing happen.
    if (!HasProgramFor(absolute)) return false;
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
