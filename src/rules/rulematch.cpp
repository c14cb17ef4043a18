#include "rules/rulematch.h"

namespace assembly {

QString RuleMatch::KeysStatement() const {
    return "select ID from " + table + " where " + where;
}

QString RuleMatch::CountStatement() const {
    return "select count(*) as n from " + table + " where " + where;
}

RuleMatch MatchRule(const QString& type, const QString& subject, const DrawItem& item,
                    Pictures pictures) {
    RuleMatch match{type,       QStringLiteral("题型=?"), {type},  subject,
                    item.group, item.difficulty,          pictures};
    if (!subject.isEmpty()) {
        match.where += QStringLiteral(" and 科目=?");
        match.params << subject;
    }
    match.where += QStringLiteral(" and 对象=? and 难度=?");
    match.params << item.group << item.difficulty;
    if (pictures == Pictures::Excluded) match.where += QStringLiteral(" and 图片 is null");
    return match;
}

bool RuleMatch::Accepts(const QString& rowType, const QString& rowSubject, const QString& rowGroup,
                        const QString& rowDifficulty, bool hasPicture) const {
    return rowType == table && (subject.isEmpty() || rowSubject == subject) && rowGroup == group &&
           rowDifficulty == difficulty && (pictures == Pictures::Allowed || !hasPicture);
}

}  // namespace assembly
