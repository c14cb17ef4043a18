#include "data/settings.h"

#include "data/profile.h"

namespace settings {
namespace {
// A damaged count must not make the readers run for ever.
constexpr int kMaxEntries = 999;
int CountOf(const QString& section, const QString& key) {
    return qBound(0, profile::GetInt(section, key, 0, SettingsFile()), kMaxEntries);
}
}  // namespace

QString SettingsFile() {
    return QStringLiteral(".//vemoconf.ini");
}

QString MissingEntry() {
    return QStringLiteral("没找到信息");
}

QStringList DepartmentNames() {
    QStringList names;
    const int count = CountOf("INFO", "Count");
    for (int i = 1; i <= count; ++i)
        names << profile::GetString("department" + QString::number(i), "name", MissingEntry(),
                                    SettingsFile());
    return names;
}

QStringList PositionsOf(int departmentIndex) {
    QStringList positions;
    if (departmentIndex < 0) return positions;
    const QString section = "department" + QString::number(departmentIndex + 1);
    const int count = CountOf(section, "number");
    for (int j = 1; j <= count; ++j)
        positions << profile::GetString(section, "job" + QString::number(j), MissingEntry(),
                                        SettingsFile());
    return positions;
}

QStringList TargetGroupSlots() {
    QStringList groupSlots;
    for (int i = 1; i <= 4; ++i)
        groupSlots << profile::GetString("object", "name" + QString::number(i), QString(),
                                         SettingsFile());
    return groupSlots;
}

QStringList TargetGroups() {
    QStringList groups;
    for (const QString& g : TargetGroupSlots())
        if (!g.isEmpty()) groups << g;
    return groups;
}

}  // namespace settings
