#include "rules/scoring.h"

#include "data/formats.h"
#include "data/questiontype.h"

namespace scoring {
namespace {

const QChar kBlankSeparator = QLatin1Char('#');

// Splits at the first "#": the part before it and the part from it on, "#" included.
// Without "#" the whole text is the first part and there is no second.
std::pair<QString, std::optional<QString>> SplitBlanks(const QString& text) {
    const int at = text.indexOf(kBlankSeparator);
    if (at < 0) return {text, std::nullopt};
    return {text.left(at), text.mid(at)};
}

}  // namespace

Verdict Judge(const QString& type, const std::optional<QString>& answer, const QString& reference) {
    if (qtype::Is(type, QuestionType::Essay)) return Verdict::Essay;
    if (!answer) return Verdict::Unanswered;
    if (*answer == reference) return Verdict::Right;
    if (qtype::Is(type, QuestionType::FillIn) && reference.contains(kBlankSeparator)) {
        const auto [r1, r2] = SplitBlanks(reference);
        const auto [a1, a2] = SplitBlanks(*answer);
        if (a1 == r1 || (a2 && *a2 == *r2)) return Verdict::HalfRight;
    }
    return Verdict::Wrong;
}

double PointsEarned(Verdict verdict, double points) {
    switch (verdict) {
        case Verdict::Right:
            return points;
        case Verdict::HalfRight:
            return 0.5 * points;
        default:
            return 0;
    }
}

QString ResultMessage(double score, int passMark, bool hasEssays) {
    QString text =
        QStringLiteral("您这次考试得分为：") + FormatScore(score) + QStringLiteral("分，");
    if (hasEssays)
        text += QStringLiteral("\n\n本成绩不包括问答题分数，待问答题手工批卷后才能计算总成绩。");
    else if (score >= passMark)
        text += QStringLiteral("合格。\n\n恭喜您,顺利通过了考试。");
    else
        text += QStringLiteral("不合格。\n\n请继续努力,加油！加油！！");
    return text + QStringLiteral("\n\n是否进入考试查看窗口？");
}

}  // namespace scoring
