#pragma once

#include <QDateTime>

// "Now" for every rule that depends on the time of day, so tests can set it.
namespace clock_seam {
QDateTime Now();
void SetFixed(const QDateTime& now);  // an invalid QDateTime returns to the real clock
}  // namespace clock_seam
