#pragma once

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include "datafolder.h"

// A delivered data folder as the current directory for as long as it lives.
class DataFolder {
public:
    DataFolder() : m_previous(QDir::currentPath()) {
        QString error;
        if (!CreateDataFolder(m_dir.path(), QDateTime::currentDateTime(), &error))
            qFatal("%s", qPrintable(error));
        QDir::setCurrent(m_dir.path());
    }
    ~DataFolder() { QDir::setCurrent(m_previous); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};
