#pragma once

#include <QString>
#include <QVariantList>

#include "rules/assembly.h"

// The bank rows one rule item draws from, one definition for the draw, the bank check of
// exam creation and the counts on the paper screen: the rows of the type's table with that
// 题型, of the subject (empty: every subject), the item's target group and difficulty, and
// for a printed paper only those without a picture.
namespace assembly {

struct RuleMatch {
    QString table;
    QString where;  // "题型=? and 科目=? and 对象=? and 难度=?", without "where"
    QVariantList params;

    // The matching keys, "ID"; limited, one more "?" bounds their number.
    QString KeysStatement(bool limited = false) const;
    QString CountStatement() const;  // their number, "n"
};

RuleMatch MatchRule(const QString& type, const QString& subject, const DrawItem& item,
                    Pictures pictures = Pictures::Allowed);

}  // namespace assembly
