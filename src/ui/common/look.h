#pragma once

#include <QRect>

class QDialog;
class QWidget;

// What the screens share, given to every screen the screen table makes: the
// administrators' screens get one style sheet and a header band with the emblem and the
// screen's title; the calligraphy is drawn at its place on the screens that do not draw
// it themselves; the list screens can be maximised, their list taking the new room while
// the other controls keep their places beside and below it; no resizable window opens
// larger than the screen's available area.
namespace look {

void Prepare(QDialog* screen);

// Where a picture placed at `designed` on a list screen of its first size is drawn now:
// it moves with the controls beside or below the list.
QRect Placed(const QWidget* screen, const QRect& designed);

}  // namespace look
