#pragma once

#include <QString>

// Which files the imports take: a workbook whose name is the import's base name with
// ".xls" or ".xlsx" (for instance "examinee.xls" or "examinee.xlsx"). The content, not
// the ending, decides how it is read.
namespace import_workbook {

bool IsAcceptedName(const QString& path, const QString& baseName);

// The filter of the file dialogs that pick a workbook.
QString FileDialogFilter();

}  // namespace import_workbook
