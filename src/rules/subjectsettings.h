#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The exam subjects of table Subject, as the settings screen keeps them. Database
// failures raise DatabaseError.
namespace subject_settings {

struct Subject {
    qlonglong id = 0;
    QString name;
};

// Every subject in the order of the table.
std::vector<Subject> List();

enum class Added { Empty, Exists, Stored };
// Adds the name exactly as typed: only an identical name counts as the same subject.
Added Add(const QString& name);

bool IsEmpty();
void Clear();
void Remove(qlonglong id);

// The subjects the questions of the bank use, table by table in type order; a subject
// used by several types is listed once for each.
QStringList UsedInBank();
// What it runs for each type's table.
QString UsedSubjectsStatement(const QString& type);

}  // namespace subject_settings
