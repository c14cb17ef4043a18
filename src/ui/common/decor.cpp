#include "ui/common/decor.h"

#include <QPainter>
#include <QPixmap>

namespace decor {
namespace {
const QPixmap& Calligraphy() {
    static const QPixmap picture(QStringLiteral(":/images/calligraphy.png"));
    return picture;
}
const QPixmap& Emblem() {
    static const QPixmap picture(QStringLiteral(":/images/emblem.png"));
    return picture;
}
}  // namespace

void PaintCalligraphy(QPainter& painter, const QPoint& at) {
    painter.drawPixmap(at, Calligraphy());
}

void PaintCalligraphy(QPainter& painter, const QRect& target) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, Calligraphy());
}

void PaintEmblem(QPainter& painter, const QPoint& at) {
    painter.drawPixmap(at, Emblem());
}

void PaintEmblem(QPainter& painter, const QRect& target) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, Emblem());
}

}  // namespace decor
