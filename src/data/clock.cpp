#include "data/clock.h"

namespace clock_seam {
namespace {
QDateTime& Fixed() {
    static QDateTime fixed;
    return fixed;
}
}  // namespace

QDateTime Now() {
    return Fixed().isValid() ? Fixed() : QDateTime::currentDateTime();
}

void SetFixed(const QDateTime& now) {
    Fixed() = now;
}
}  // namespace clock_seam
