#pragma once

#include <QString>

// Writes one consistent archive (.zip) of the data folder `folder` while stations may be
// working in it: each data file as SQLite's online backup makes it, the settings file,
// the question pictures and the templates. A folder whose data lives on a server gives
// its own files only. Refuses to overwrite `archive`; on failure returns false with a
// message and leaves no archive behind.
bool BackupDataFolder(const QString& folder, const QString& archive, QString* error);

// Unpacks an archive of BackupDataFolder into `folder`, which must be empty or new, and
// checks both data files. On failure returns false with a message and leaves the folder
// as empty as it was.
bool RestoreDataFolder(const QString& archive, const QString& folder, QString* error);
