#include "ui/common/workbookwait.h"

#include <QApplication>
#include <QFileInfo>
#include <QProgressDialog>

namespace {
constexpr int kShowAfterMs = 400;
}

void CWorkbookWait::Begin(const QString& path) {
    m_path = path;
    m_elapsed.start();
}

void CWorkbookWait::Tick() {
    if (!m_dialog && m_elapsed.elapsed() >= kShowAfterMs) {
        m_dialog = new QProgressDialog(
            QStringLiteral("正在读取“%1”，请稍候……").arg(QFileInfo(m_path).fileName()), QString(),
            0, 0, QApplication::activeWindow());
        m_dialog->setWindowTitle(QStringLiteral("Vemo提示"));
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->show();
    }
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CWorkbookWait::End() {
    delete m_dialog.data();
}
