#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The five question types, in the order of every paper, section list and bank list.
enum class QuestionType { Single, TrueFalse, FillIn, Multiple, Essay };

namespace qtype {

inline constexpr std::array<QuestionType, 5> kAll = {QuestionType::Single, QuestionType::TrueFalse,
                                                     QuestionType::FillIn, QuestionType::Multiple,
                                                     QuestionType::Essay};

// "单选题" …: at once the type's bank table, its value of 题型 and its column of a paper.
QString Name(QuestionType type);
// Every name, in the order of the types.
QStringList Names();
// The type of a stored name; nothing for any other text.
std::optional<QuestionType> Of(const QString& name);
inline bool Is(const QString& name, QuestionType type) {
    return Of(name) == type;
}
// The type's place in the order, from 0.
inline int Index(QuestionType type) {
    return int(type);
}

// "一、" … "五、" for ordinals 0 … 4; empty beyond them.
QString Numeral(int ordinal);

}  // namespace qtype
