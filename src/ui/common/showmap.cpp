#include "ui/common/showmap.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "ui/common/look.h"

CShowMap::CShowMap(const QString& picturePath, QWidget* owner)
    : QDialog(owner), m_picture(picturePath) {
    setWindowTitle(QStringLiteral("考题图片"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    const QSize size = m_picture.isNull() ? QSize(200, 60) : m_picture.size();
    setFixedSize(size);
    // A picture larger than the display scrolls in a window that fits.
    look::Prepare(this);
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) move(Placement(screen->size(), this->size()));
}

QPoint CShowMap::Placement(const QSize& screen, const QSize& picture) {
    return QPoint((screen.width() - picture.width()) / 3, (screen.height() - picture.height()) / 3);
}

void CShowMap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_picture.isNull()) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("无法读取图片"));
        return;
    }
    painter.drawPixmap(0, 0, m_picture);
}

void CShowMap::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}
