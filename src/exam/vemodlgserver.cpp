// The exam window while the server is away: the answers stay on screen and in memory, the
// window waits, and the hand-in follows the reconnection.
#include <QLabel>
#include <QTimer>

#include "app/messagebox.h"
#include "data/clock.h"
#include "exam/vemodlg.h"
#include "ui/common/mymsgdlg.h"

namespace {
const QString kServerLost =
    QStringLiteral("与服务器的连接已中断，答案已保留在本机，连接恢复后将自动交卷。");
}

bool CVemoDlg::PaperLost() const {
    return m_current > 0 && !m_review && m_session.Lost();
}

void CVemoDlg::WaitForServer(const QDateTime& handInTime) {
    if (WaitingForServer()) return;
    if (const std::optional<QVariant> answer = AnswerOnScreen(m_session.Type(m_current)))
        m_session.KeepInMemory(m_current, *answer);
    m_pendingHandIn = handInTime;
    m_countdown->stop();
    ClosePicture();
    SetAnswering(false);
    m_serverNotice->setText(kServerLost);
    m_serverNotice->show();
    ShowTimedNotice(this, kServerLost, msgbox::RemindTitle(), 10);
    m_reconnect->start();
}

void CVemoDlg::CheckServer() {
    if (m_current > 0 && !m_review && !m_session.ServerAnswers()) WaitForServer(clock_seam::Now());
}

void CVemoDlg::SetAnswering(bool enabled) {
    // Disabled controls still show the answers as they stand.
    for (QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!qobject_cast<QLabel*>(control)) control->setEnabled(enabled);
}

void CVemoDlg::TryReconnect() {
    if (!WaitingForServer() || !m_session.Reconnect()) return;
    QString error;
    if (!m_session.Restore(&error)) {
        qWarning("the paper could not be put back: %s", qPrintable(error));
        return;  // again at the next tick
    }
    const QDateTime handInTime = m_pendingHandIn;
    m_pendingHandIn = QDateTime();
    m_reconnect->stop();
    m_serverNotice->hide();
    SetAnswering(true);
    // The lost connection may have swallowed the answer to a commit that went through.
    if (const auto stored = m_session.AlreadyHandedIn(handInTime))
        ShowResult(*stored);
    else
        StoreResult(handInTime);
}
