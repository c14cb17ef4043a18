#pragma once

#include <QString>
#include <optional>

// Sectioned key=value settings files with the semantics the program was designed
// around: section and key names are case-insensitive, a missing key gives the caller's
// default, values are cut at 259 bytes, writing a section without a key deletes the
// section and writing a key without a value deletes the key. Files are written in GBK;
// GBK files and UTF-8 files (with or without BOM) are read.
namespace profile {

constexpr int kMaxValueBytes = 259;

QString GetString(const QString& section, const QString& key, const QString& defaultValue,
                  const QString& file);
// The value's leading decimal number (0 when it has none); the default when the key
// is missing.
int GetInt(const QString& section, const QString& key, int defaultValue, const QString& file);
bool WriteString(const QString& section, const std::optional<QString>& key,
                 const std::optional<QString>& value, const QString& file);

}  // namespace profile
