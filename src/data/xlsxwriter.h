#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Writes a list as a one-sheet Office Open XML workbook (.xlsx) that spreadsheet programs
// open as they open their own: text cells as inline strings, numbers as numbers.
namespace xlsxwriter {

struct Cell {
    QString text;
    // Written as a number when the text is a plain decimal ("85", "-2.5"); any other
    // text stays text.
    bool number = false;
};
using Row = QList<Cell>;

// Writes the header row in bold, then the rows, into the sheet `sheetName`. The file
// appears under `path` only when complete; false, with the reason, when it cannot.
bool WriteSheet(const QString& path, const QString& sheetName, const QStringList& header,
                const QList<Row>& rows, QString* error = nullptr);

// The spreadsheet's name of a column, 0 -> "A", 26 -> "AA".
QString ColumnName(int column);

}  // namespace xlsxwriter
