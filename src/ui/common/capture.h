#pragma once

#include <QRect>
#include <QString>

class QWidget;

// Writes the part of a window from its origin, of the rectangle's size, to a BMP file;
// false when the file cannot be written.
bool CaptureToBmp(const QString& path, QWidget* window, const QRect& rect);
