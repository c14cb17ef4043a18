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

// Reads a workbook the user chose, in a child process (the helper program
// vemo-workbook-reader) held to kWorkbookMemoryLimit of memory and kWorkbookTimeLimitMs of
// time: a damaged file can make the parsing library claim any amount of memory or read
// past its buffers, and must take down no more than the child. Every import reads its
// workbook through this function. The result is that of ReadWorkbookHere; a child that
// hits a limit, crashes or gives no answer gives nullopt with "…文件已损坏或过大，无法导入。".
std::optional<Workbook> ReadWorkbook(const QString& path, QString* error);

// Reads an .xls or .xlsx file, told apart by its content, in this process; only the helper
// program (and the readers' fuzz targets and benchmarks) call it. A whole number
// reads as its digits ("12"), other numbers in their shortest decimal text ("12.5"),
// dates and times as the reader formats them. A file that cannot be read gives nullopt
// and a message for the user.
std::optional<Workbook> ReadWorkbookHere(const QString& path, QString* error);

constexpr qint64 kWorkbookMemoryLimit = qint64(1) << 30;  // 1 GiB of address space
constexpr int kWorkbookTimeLimitMs = 25000;

// The helper program; by default vemo-workbook-reader beside the running program. Tests
// name the one of the build tree.
void SetWorkbookReaderProgram(const QString& path);

// Shown while the child reads: the desktop layer installs a wait dialog. Begin comes
// when the child has started, Tick about every 50 ms while it works, End at the end.
class WorkbookWaitIndicator {
public:
    virtual ~WorkbookWaitIndicator() = default;
    virtual void Begin(const QString& path) = 0;
    virtual void Tick() = 0;
    virtual void End() = 0;
};
void SetWorkbookWaitIndicator(WorkbookWaitIndicator* indicator);

// "无法读取Excel文件“<file name>”：<reason>", the form of every message above.
QString WorkbookFailure(const QString& path, const QString& reason);
QString DamagedOrTooLarge();  // "文件已损坏或过大，无法导入。"

// The helper program's side: limits itself, reads the workbook named on its command line
// with ReadWorkbookHere and writes the result to its standard output. Returns the exit code.
int ServeWorkbookRead(int argc, char** argv);
