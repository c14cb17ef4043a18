#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Whole zip archives in memory: Office documents are zip archives of a few small parts.
namespace ziparchive {

struct Entry {
    QString name;  // the path inside the archive, "/"-separated
    QByteArray data;
};

// A damaged or crafted archive cannot take unbounded memory: each entry may inflate to
// at most kEntryLimit bytes, all of them together to kArchiveLimit.
constexpr qint64 kEntryLimit = 64 << 20;
constexpr qint64 kArchiveLimit = 128 << 20;

// Every file of the archive in stored order; nullopt, with the reason (for the user,
// without the archive's name), when it cannot be read or inflates beyond the limits.
std::optional<QList<Entry>> Read(const QString& path, QString* error = nullptr);

// Writes the entries, compressed, in the given order. The archive appears under `path`
// only when complete; an existing file there is replaced.
bool Write(const QString& path, const QList<Entry>& entries, QString* error = nullptr);

}  // namespace ziparchive
