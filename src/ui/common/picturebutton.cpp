#include "ui/common/picturebutton.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

CPictureButton::CPictureButton(const QString& picture, const QString& accessibleName,
                               QWidget* parent)
    : QAbstractButton(parent), m_picture(picture) {
    setAccessibleName(accessibleName);
    setToolTip(accessibleName);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    resize(sizeHint());
}

QSize CPictureButton::sizeHint() const {
    return m_picture.isNull() ? QSize(100, 30) : m_picture.size();
}

void CPictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // A pressed button sinks by one pixel.
    const QPoint offset = isDown() ? QPoint(1, 1) : QPoint(0, 0);
    if (m_picture.isNull()) {
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.drawText(rect().translated(offset), Qt::AlignCenter, accessibleName());
    } else {
        painter.drawPixmap(offset, m_picture);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}
