#include "data/formats.h"

#include <QRegularExpression>
#include <cstdio>

QString FormatScore(double score) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.1f", score);
    QString text = QString::fromLatin1(buffer);
    if (text.endsWith(QLatin1String(".0"))) text.chop(2);
    if (text == QLatin1String("-0")) text = QStringLiteral("0");
    return text;
}

QString FormatDuration(qint64 seconds) {
    return QString::asprintf("%02lld:%02lld:%02lld", seconds / 3600, seconds % 3600 / 60,
                             seconds % 60);
}

QString FormatExamTime(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy/MM/dd HH:mm"));
}

std::optional<QDateTime> ParseExamTime(const QString& text) {
    static const QRegularExpression form(QStringLiteral(
        "^\\s*(\\d{4})[/-](\\d{1,2})[/-](\\d{1,2})\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*$"));
    const auto m = form.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(),
                     m.captured(6).isEmpty() ? 0 : m.captured(6).toInt());
    if (!date.isValid() || !time.isValid()) return std::nullopt;
    return QDateTime(date, time);
}

QString FormatCreationTime(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

QString FormatHandInTime(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy/MM/dd")) + QChar(0x3000) +
           time.toString(QStringLiteral("HH:mm:ss"));
}
