#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

// The readers take a path, so every input is written to the same file first.
inline QString InputFile(const uint8_t* data, size_t size, const char* name) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}
