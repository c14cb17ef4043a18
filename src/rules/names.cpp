#include "rules/names.h"

#include "data/gbk.h"
#include "data/profile.h"

namespace names {
namespace {

// What each kind of name is called in the messages, the separators of the settings file's
// lists and of the stored draw rules it must not hold, and whether the settings file,
// which keeps only so many bytes of a value, holds it.
struct KindRule {
    const char16_t* noun;
    const char16_t* forbidden;
    bool inSettings;
};

const KindRule& RuleOf(Kind kind) {
    static const KindRule rules[] = {
        {u"名称", u";", true},     // OrganisationNode
        {u"对象", u":;,=", true},  // TargetGroup
        {u"科目", u"<>", false},   // Subject
    };
    return rules[int(kind)];
}

bool IsControl(QChar c) {
    return c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
           c.category() == QChar::Separator_Paragraph;
}

QString ControlName(QChar c) {
    if (c == '\n' || c == '\r' || c.category() != QChar::Other_Control)
        return QStringLiteral("换行符");
    if (c == '\t') return QStringLiteral("制表符");
    return QStringLiteral("控制字符(U+%1)").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QString Refusal(const QString& name, Kind kind) {
    const KindRule& rule = RuleOf(kind);
    const QString noun = QString::fromUtf16(rule.noun);
    for (const QChar c : name) {
        if (IsControl(c)) return QStringLiteral("%1中不能含有%2！").arg(noun, ControlName(c));
        if (QString::fromUtf16(rule.forbidden).contains(c))
            return QStringLiteral("%1中不能含有'%2'！").arg(noun, c);
    }
    if (rule.inSettings && ToGbk(name).size() > profile::kMaxValueBytes)
        return QStringLiteral("%1太长：最多%2个字节（一个汉字算2个字节）！")
            .arg(noun)
            .arg(profile::kMaxValueBytes);
    return QString();
}

QString QuestionRefusal(const QString& subject, const QString& group) {
    const QString refusal = Refusal(subject, Kind::Subject);
    return refusal.isEmpty() ? Refusal(group, Kind::TargetGroup) : refusal;
}

}  // namespace names
