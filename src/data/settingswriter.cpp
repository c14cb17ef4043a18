#include "data/settingswriter.h"

#include "data/profile.h"
#include "data/settings.h"

namespace settings {
namespace {

bool Write(const QString& section, const QString& key, const QString& value) {
    return profile::WriteString(section, key, value, SettingsFile());
}

QString DepartmentSection(int number) {
    return "department" + QString::number(number);
}

}  // namespace

std::vector<Department> ReadOrganisation() {
    std::vector<Department> departments;
    const QStringList names = DepartmentNames();
    for (int i = 0; i < names.size(); ++i) departments.push_back({names[i], PositionsOf(i)});
    return departments;
}

bool WriteOrganisation(const std::vector<Department>& departments) {
    const QString file = SettingsFile();
    // Bounded like the readers, so a damaged count cannot make this run for ever.
    const int oldCount = qBound(0, profile::GetInt("INFO", "Count", 0, file), 999);
    bool ok = true;
    for (int i = 1; i <= oldCount && ok; ++i)
        ok = profile::WriteString(DepartmentSection(i), std::nullopt, std::nullopt, file);
    ok = ok && profile::WriteString("INFO", std::nullopt, std::nullopt, file);
    int n = 0;
    for (const Department& department : departments) {
        const QString section = DepartmentSection(++n);
        ok = ok && Write(section, "name", department.name);
        for (int j = 0; j < department.positions.size(); ++j)
            ok = ok && Write(section, "job" + QString::number(j + 1), department.positions[j]);
        if (!department.positions.isEmpty())
            ok = ok && Write(section, "number", QString::number(department.positions.size()));
    }
    return ok && Write("INFO", "Count", QString::number(n));
}

TargetGroupsSaved SaveTargetGroups(const QStringList& edits) {
    TargetGroupsSaved saved;
    if (edits.value(0).isEmpty()) {
        saved.refusal = QStringLiteral("第一个对象不能为空！");
    } else {
        const QStringList stored = TargetGroupSlots();
        for (int i = 0; i < 4; ++i)
            if (edits.value(i) != stored[i])
                Write("object", "name" + QString::number(i + 1), edits.value(i));
        if (edits.value(1).isEmpty()) {
            Write("object", "name3", QString());
            Write("object", "name4", QString());
        }
        if (edits.value(2).isEmpty()) Write("object", "name4", QString());
    }
    saved.groupSlots = TargetGroupSlots();
    return saved;
}

}  // namespace settings
