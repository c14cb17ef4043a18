#include "ui/common/capture.h"

#include <QPixmap>
#include <QWidget>

bool CaptureToBmp(const QString& path, QWidget* window, const QRect& rect) {
    if (!window || rect.isEmpty()) return false;
    const QPixmap region = window->grab(QRect(QPoint(0, 0), rect.size()));
    return !region.isNull() && region.save(path, "BMP");
}
