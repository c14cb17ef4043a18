#pragma once

#include <QDateTime>
#include <QString>

// The exam window's clock and countdown texts.
namespace countdown {

// "2026年12月09日　10:30:00": date, ideographic space, 24-hour time.
QString ClockText(const QDateTime& now);
// "剩余时间：hh:mm:ss"; time past zero shows as zero.
QString RemainingText(int seconds);
// The seconds an examinee took: the limit in minutes × 60 less the seconds left.
int ElapsedSeconds(int limitMinutes, int remainingSeconds);

}  // namespace countdown
