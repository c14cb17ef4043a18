#pragma once

#include <QString>
#include <QStringList>

// The organisation (departments with their positions) and the four target groups, as
// kept in vemoconf.ini in the current directory.
namespace settings {

QString SettingsFile();
// "没找到信息" stands for a department or position the file promises but lacks.
QString MissingEntry();

// Department names in file order: index k of the list is section "department" + (k + 1).
QStringList DepartmentNames();
// Positions of the department at 0-based list index k.
QStringList PositionsOf(int departmentIndex);
// name1 … name4 of section object; empty where a slot has no group.
QStringList TargetGroupSlots();
// The non-empty target groups, in slot order.
QStringList TargetGroups();

}  // namespace settings
