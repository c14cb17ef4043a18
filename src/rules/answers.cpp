#include "rules/answers.h"

namespace answers {
namespace {

const QChar kOpen(0x3010);   // 【
const QChar kClose(0x3011);  // 】
const QChar kSeparator = QLatin1Char('#');

// Replaces what lies between the "【" at `open` and the next "】" by " blank ", and
// returns the span of the replacement (empty for an empty blank).
Span FillBlank(QString& text, int open, const QString& blank) {
    const int start = open + 1;
    int close = text.indexOf(kClose, start);
    if (close < 0) close = start;
    const QString inserted = blank.isEmpty() ? QStringLiteral("  ") : ' ' + blank + ' ';
    text.replace(start, close - start, inserted);
    if (blank.isEmpty()) return {};
    return {start, start + int(inserted.size())};
}

}  // namespace

QStringList SplitAnswerKey(const QString& key) {
    QStringList references;
    int from = 0;
    for (int bar = key.indexOf(QLatin1Char('|')); bar >= 0;
         bar = key.indexOf(QLatin1Char('|'), from)) {
        references << key.mid(from, bar - from);
        from = bar + 1;
    }
    return references;
}

QString OptionLetter(int index) {
    return QString(QChar('A' + index));
}

std::optional<QString> ChoiceAnswer(int chosenIndex) {
    if (chosenIndex < 0 || chosenIndex > 4) return std::nullopt;
    return OptionLetter(chosenIndex);
}

std::optional<QString> MultipleChoiceAnswer(const QVector<bool>& ticked) {
    QString letters;
    for (int i = 0; i < ticked.size() && i < 5; ++i)
        if (ticked[i]) letters += OptionLetter(i);
    if (letters.size() < 2) return std::nullopt;
    return letters;
}

std::optional<QString> EssayAnswer(const QString& typed) {
    if (typed.isEmpty()) return std::nullopt;
    QString text = typed;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

QString EssayForDisplay(const QString& stored) {
    QString text = stored;
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString FillInAnswer(const QString& blank1, const QString& blank2) {
    if (blank2.isEmpty()) return blank1;
    return blank1 + kSeparator + blank2;
}

Blanks SplitFillIn(const QString& stored) {
    const int at = stored.indexOf(kSeparator);
    if (at < 0) return {stored, QString()};
    return {stored.left(at), stored.mid(at + 1)};
}

QString CleanBlank(const QString& typed) {
    QString text = typed;
    text.remove(kOpen).remove(kClose).remove(kSeparator);
    return text;
}

int BlankMarkerCount(const QString& questionText) {
    return int(questionText.count(kOpen));
}

Echo EchoBlanks(const QString& questionText, const QString& blank1, const QString& blank2) {
    // The question box shows each CR LF as one line break; spans count on what it shows.
    QString shown = questionText;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Echo echo{shown, {}, {}};
    const int firstOpen = echo.text.indexOf(kOpen);
    if (firstOpen < 0) return echo;
    echo.first = FillBlank(echo.text, firstOpen, blank1);
    const int firstClose = echo.text.indexOf(kClose, firstOpen);
    if (firstClose < 0) return echo;
    const int secondOpen = echo.text.indexOf(kOpen, firstClose);
    if (secondOpen < 0) return echo;
    echo.second = FillBlank(echo.text, secondOpen, blank2);
    return echo;
}

}  // namespace answers
