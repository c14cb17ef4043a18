#pragma once

#include <QString>
#include <memory>

#include "data/engine.h"

// The local data files, kept by SQLite.
namespace sqlite_engine {

// Opens a data file of the program; a missing, foreign or damaged file, or one locked past
// the busy wait, raises DatabaseError.
std::unique_ptr<Engine> Open(const QString& fileName);
// Makes an empty data file.
bool CreateFile(const QString& path, QString* error);
// How long a connection waits for another one's write lock before its statement fails as
// busy: five seconds unless shortened (tests do).
void SetBusyTimeout(int milliseconds);

}  // namespace sqlite_engine

// The few idioms of the original SQL dialect that SQLite spells differently,
// translated in this one place.
QString TranslateJetSql(const QString& sql);
