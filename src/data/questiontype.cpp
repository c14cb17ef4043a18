#include "data/questiontype.h"

namespace qtype {

QString Name(QuestionType type) {
    switch (type) {
        case QuestionType::Single:
            return QStringLiteral("单选题");
        case QuestionType::TrueFalse:
            return QStringLiteral("判断题");
        case QuestionType::FillIn:
            return QStringLiteral("填空题");
        case QuestionType::Multiple:
            return QStringLiteral("多选题");
        case QuestionType::Essay:
            return QStringLiteral("问答题");
    }
    return QString();
}

QStringList Names() {
    QStringList names;
    for (const QuestionType type : kAll) names << Name(type);
    return names;
}

std::optional<QuestionType> Of(const QString& name) {
    for (const QuestionType type : kAll)
        if (Name(type) == name) return type;
    return std::nullopt;
}

QString Numeral(int ordinal) {
    static const QString numerals = QStringLiteral("一二三四五");
    if (ordinal < 0 || ordinal >= numerals.size()) return QString();
    return numerals.mid(ordinal, 1) + QStringLiteral("、");
}

}  // namespace qtype
