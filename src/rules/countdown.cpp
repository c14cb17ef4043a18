#include "rules/countdown.h"

#include "data/formats.h"

namespace countdown {

QString ClockText(const QDateTime& now) {
    return now.toString(QStringLiteral("yyyy年MM月dd日")) + QChar(0x3000) +
           now.toString(QStringLiteral("HH:mm:ss"));
}

QString RemainingText(int seconds) {
    return QStringLiteral("剩余时间：") + FormatDuration(qMax(0, seconds));
}

int ElapsedSeconds(int limitMinutes, int remainingSeconds) {
    return limitMinutes * 60 - remainingSeconds;
}

}  // namespace countdown
