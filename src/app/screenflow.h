#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "app/testseams.h"

class QWidget;

// The screens replace one another: a navigation step closes the current screen and
// then the next one is shown, always as a fresh instance. The program runs them one
// after the other from a single loop, so a long walk through the screens does not
// nest modal loops.
namespace screenflow {

// Runs screens, starting with the first, until one closes without naming a successor.
void Run(ScreenFactory first);

// Closes the current screen and shows the named one next.
void Go(QDialog* from, const QString& screenName, ScreenFactory next);

}  // namespace screenflow

// The shared exit: stops the screen's clock (its QTimer named "timer1", where it has
// one) and ends the process with exit code 0 at once, from any depth. Under test it is
// recorded and returns, so callers return right after calling it.
void ExitProgram(QWidget* screen);
