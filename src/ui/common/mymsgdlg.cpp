#include "ui/common/mymsgdlg.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/testseams.h"

namespace {
// The notice is laid out in dialog units of the classic dialog font.
QRect Units(int x, int y, int w, int h) {
    return QRect(x * 3 / 2, y * 3 / 2, w * 3 / 2, h * 3 / 2);
}
}  // namespace

CMyMsgDlg::CMyMsgDlg(const QString& text, const QString& title, int seconds, QWidget* parent)
    : QDialog(parent), m_seconds(qMax(1, seconds)) {
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(Units(0, 0, 127, 90).size());

    auto* frame = new QFrame(this);
    frame->setGeometry(Units(0, 0, 127, 56));
    frame->setAutoFillBackground(true);
    QPalette white = frame->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    frame->setPalette(white);

    auto* message = new QLabel(text, this);
    message->setObjectName(QStringLiteral("message"));
    message->setGeometry(Units(8, 8, 111, 26));
    message->setWordWrap(true);
    message->setPalette(white);

    m_countdown = new QLabel(this);
    m_countdown->setObjectName(QStringLiteral("countdown"));
    m_countdown->setGeometry(Units(21, 36, 15, 10));
    m_countdown->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_countdown->setPalette(white);

    auto* suffix = new QLabel(QStringLiteral("秒后自动关闭窗口"), this);
    suffix->setGeometry(Units(42, 36, 76, 10));
    suffix->setPalette(white);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setGeometry(Units(40, 64, 52, 19));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        m_timer->stop();
        accept();
    });

    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &CMyMsgDlg::Tick);
    m_timer->start();
}

QString CMyMsgDlg::CountdownText() const {
    return m_countdown->text();
}

void CMyMsgDlg::Tick() {
    --m_seconds;
    m_countdown->setText(QString::asprintf("%02d", qMax(0, m_seconds)));
    if (m_seconds <= 0) {
        m_timer->stop();
        accept();
    }
}

void ShowTimedNotice(QWidget* parent, const QString& text, const QString& title, int seconds) {
    if (seams::Recorder* test = seams::Active()) {
        test->notices.append({text, title, seconds});
        return;
    }
    CMyMsgDlg notice(text, title, seconds, parent);
    notice.exec();
}
