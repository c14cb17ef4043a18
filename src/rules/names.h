#pragma once

#include <QString>

// The names the administrator gives departments, positions, target groups and subjects
// end up inside the settings file's lines and inside the stored draw rules, whose
// separators they must not hold; the settings file also keeps only so many bytes of a
// value. Every place that takes such a name asks here first.
namespace names {

enum class Kind {
    OrganisationNode,  // a department or a position
    TargetGroup,
    Subject,
};

// Why the name cannot be stored, naming the offending character, or empty when it can.
QString Refusal(const QString& name, Kind kind);
// The refusal of a question's 科目 or, failing that, of its 对象.
QString QuestionRefusal(const QString& subject, const QString& group);

}  // namespace names
