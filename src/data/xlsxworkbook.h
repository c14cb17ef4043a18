#pragma once

#include <QString>
#include <optional>

#include "data/workbook.h"

// Office Open XML workbooks (.xlsx), read whole into memory like the .xls reader: sheets
// by name in their order, every cell as text. Shared and inline strings read as they
// are; numbers as the .xls reader writes them ("12", "12.5"); numbers formatted as dates
// or times as "yyyy-MM-dd", "yyyy-MM-dd HH:mm:ss" or "HH:mm:ss"; empty cells are absent.
//
// A bad file cannot take unbounded memory or time: each part may inflate to at most
// kPartLimit bytes, all of them together to kPackageLimit, and the workbook may hold at
// most kCellLimit cells with a value.
namespace xlsx {

constexpr qint64 kPartLimit = 64 << 20;
constexpr qint64 kPackageLimit = 128 << 20;
constexpr qint64 kCellLimit = 2'000'000;

// The workbook, or nullopt and why it cannot be read (a reason for the user, without the
// file's name).
std::optional<Workbook> ReadWorkbook(const QString& path, QString* reason);

}  // namespace xlsx
