#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// The text forms in which the data files keep scores and times.

// "%.1f" without a trailing ".0": 85 -> "85", 85.5 -> "85.5", 0 -> "0".
QString FormatScore(double score);
// Seconds as "%02d:%02d:%02d".
QString FormatDuration(qint64 seconds);
// Exam start and end: "yyyy/MM/dd HH:mm".
QString FormatExamTime(const QDateTime& time);
// Reads an exam start or end whatever the desktop's locale: "yyyy/MM/dd HH:mm", the
// dash form "yyyy-MM-dd HH:mm", with or without seconds, one-digit fields allowed.
std::optional<QDateTime> ParseExamTime(const QString& text);
// Paper creation: "yyyy/MM/dd HH:mm:ss".
QString FormatCreationTime(const QDateTime& time);
// Hand-in: "yyyy/MM/dd" + U+3000 + "HH:mm:ss".
QString FormatHandInTime(const QDateTime& time);
