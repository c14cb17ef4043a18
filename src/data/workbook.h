#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// Workbooks of Excel 97–2003 (.xls) and Office Open XML (.xlsx), read whole into
// memory: every cell as text.

struct WorksheetRow {
    int number = 0;            // 0-based row of the sheet
    QMap<int, QString> cells;  // by 0-based column; empty cells are absent
    QString Cell(int column) const { return cells.value(column); }
    bool Has(int column) const { return cells.contains(column); }
};

struct Worksheet {
    QString name;
    // The first row, one entry for every column the sheet uses ("" where it is empty),
    // so a stray cell right of the header shows as an extra column.
    QStringList header;
    std::vector<WorksheetRow> rows;  // every row below the header, in sheet order
};

struct Workbook {
    QString path;
    std::vector<Worksheet> sheets;

    QStringList SheetNames() const;
    // The sheet of that name (compared ignoring case, as spreadsheet programs do), or
    // null with a message for the user.
    const Worksheet* Sheet(const QString& name, QString* error) const;
};

// Reads an .xls or .xlsx file, told apart by its content. A whole number reads as its digits
// ("12"), other numbers in their shortest decimal text ("12.5"), dates and times as the reader
// formats them. A file that cannot be read gives nullopt and a message for the user.
std::optional<Workbook> ReadWorkbook(const QString& path, QString* error);
