#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// What the settings screen reads from and writes to vemoconf.ini: the organisation tree
// and the four target groups.
namespace settings {

struct Department {
    QString name;
    QStringList positions;
    bool operator==(const Department& other) const {
        return name == other.name && positions == other.positions;
    }
};

// The departments with their positions as the file lists them; entries the file
// promises but lacks read as "没找到信息".
std::vector<Department> ReadOrganisation();

// Replaces the stored departments: the sections of the old count and INFO go, then every
// department is written in order (its positions and `number` only when it has any) and
// INFO/Count last. False when the file could not be written.
bool WriteOrganisation(const std::vector<Department>& departments);

struct TargetGroupsSaved {
    QString refusal;         // "第一个对象不能为空！" when nothing was written
    QStringList groupSlots;  // name1 … name4 as stored afterwards
};

// Writes the four edits into name1 … name4 where they differ from the file. Groups are
// used in order, so an empty second slot empties the third and fourth, an empty third
// the fourth.
TargetGroupsSaved SaveTargetGroups(const QStringList& edits);

}  // namespace settings
