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
    // The same condition, for rows read by their keys alone.
    QString subject;  // empty: every subject
    QString group;
    QString difficulty;
    Pictures pictures = Pictures::Allowed;

    QString KeysStatement() const;   // the matching keys, "ID"
    QString CountStatement() const;  // their number, "n"
    // Whether a row with these columns is one of the matching rows.
    bool Accepts(const QString& rowType, const QString& rowSubject, const QString& rowGroup,
                 const QString& rowDifficulty, bool hasPicture) const;
};

RuleMatch MatchRule(const QString& type, const QString& subject, const DrawItem& item,
                    Pictures pictures = Pictures::Allowed);

}  // namespace assembly
