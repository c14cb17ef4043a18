#pragma once

#include <QRect>

class QPainter;

// The pictures the screens draw over their background.
namespace decor {

// The calligraphy of the product name at its natural size (400 × 266) or scaled.
void PaintCalligraphy(QPainter& painter, const QPoint& at);
void PaintCalligraphy(QPainter& painter, const QRect& target);
// The round product emblem (100 × 100).
void PaintEmblem(QPainter& painter, const QPoint& at);
void PaintEmblem(QPainter& painter, const QRect& target);

}  // namespace decor
