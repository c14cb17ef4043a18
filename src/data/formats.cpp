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
    // The common case without a format parser: the score query shows one per listed row.
    if (seconds >= 0 && seconds < 100 * 3600) {
        const int parts[] = {int(seconds / 3600), int(seconds % 3600 / 60), int(seconds % 60)};
        QChar text[8];
        for (int i = 0; i < 3; ++i) {
            text[i * 3] = QChar(u'0' + parts[i] / 10);
            text[i * 3 + 1] = QChar(u'0' + parts[i] % 10);
            if (i < 2) text[i * 3 + 2] = QLatin1Char(':');
        }
        return QString(text, 8);
    }
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
