#include "rules/names.h"

#include "data/gbk.h"
#include "data/profile.h"

namespace names {
namespace {

QString Noun(Kind kind) {
    switch (kind) {
        case Kind::OrganisationNode:
            return QStringLiteral("名称");
        case Kind::TargetGroup:
            return QStringLiteral("对象");
        case Kind::Subject:
            return QStringLiteral("科目");
    }
    return QString();
}

// The separators of the settings file's lists and of the stored draw rules.
QString Forbidden(Kind kind) {
    switch (kind) {
        case Kind::OrganisationNode:
            return QStringLiteral(";");
        case Kind::TargetGroup:
            return QStringLiteral(":;,=");
        case Kind::Subject:
            return QStringLiteral("<>");
    }
    return QString();
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

// Names held in the settings file: the reader keeps no more bytes than this.
bool KeptInSettings(Kind kind) {
    return kind != Kind::Subject;
}

}  // namespace

QString Refusal(const QString& name, Kind kind) {
    for (const QChar c : name) {
        if (IsControl(c)) return QStringLiteral("%1中不能含有%2！").arg(Noun(kind), ControlName(c));
        if (Forbidden(kind).contains(c))
            return QStringLiteral("%1中不能含有'%2'！").arg(Noun(kind), c);
    }
    if (KeptInSettings(kind) && ToGbk(name).size() > profile::kMaxValueBytes)
        return QStringLiteral("%1太长：最多%2个字节（一个汉字算2个字节）！")
            .arg(Noun(kind))
            .arg(profile::kMaxValueBytes);
    return QString();
}

QString QuestionRefusal(const QString& subject, const QString& group) {
    const QString refusal = Refusal(subject, Kind::Subject);
    return refusal.isEmpty() ? Refusal(group, Kind::TargetGroup) : refusal;
}

}  // namespace names
