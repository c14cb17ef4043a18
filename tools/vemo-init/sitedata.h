#pragma once

#include <QDateTime>
#include <QString>

// How vemo-init makes the data of a site.
struct DataFolderOptions {
    // A libpq connection string: the data goes to that server's database (the folder's
    // settings file names it) instead of into the folder's data files.
    QString serverUrl;
    // Without the sample data the files get their tables and the initial passwords only.
    bool withSamples = true;
};

// Whether `folder` holds the data of the program: both data files, or a settings file
// that names the server holding them.
bool HoldsSiteData(const QString& folder);

// CreateDataFolder with a choice of store and of the sample data; refuses a server that
// holds the program's data already.
bool CreateSiteData(const QString& directory, const QDateTime& now,
                    const DataFolderOptions& options, QString* error);

// Copies the data files of the folder `source` into an empty database on the server
// `serverUrl`, row by row with their IDs, so every save code stays valid; the autonumbers
// go on after the highest copied ID. `directory` becomes a station folder: the source's
// settings and pictures with the server named in its settings file.
bool CopyDataFolderToServer(const QString& source, const QString& directory,
                            const QString& serverUrl, QString* error);
