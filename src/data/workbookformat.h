#pragma once

#include <QString>

// What kind of workbook a file holds, told by its content rather than its name.
enum class WorkbookFormat {
    Xls,            // an OLE2 compound file: Excel 97–2003
    Xlsx,           // a zip package: Office Open XML
    EncryptedXlsx,  // an OLE2 compound file holding an encrypted Office Open XML package
    Other,          // neither, or a file that cannot be read
};

WorkbookFormat DetectWorkbookFormat(const QString& path);
