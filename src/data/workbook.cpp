#include "data/workbook.h"

#include <freexl.h>

#include <QFile>
#include <QFileInfo>

#include "data/adoconn.h"
#include "data/workbookformat.h"
#include "data/xlsxworkbook.h"

QString WorkbookFailure(const QString& path, const QString& reason) {
    return QStringLiteral("无法读取Excel文件“%1”：%2").arg(QFileInfo(path).fileName(), reason);
}

QString DamagedOrTooLarge() {
    return QStringLiteral("文件已损坏或过大，无法导入。");
}

namespace {

// FreeXL wants its handle closed even after a failed open.
class FreeXlHandle {
public:
    FreeXlHandle() = default;
    ~FreeXlHandle() {
        if (m_handle) freexl_close(m_handle);
    }
    FreeXlHandle(const FreeXlHandle&) = delete;
    FreeXlHandle& operator=(const FreeXlHandle&) = delete;
    const void** Out() { return &m_handle; }
    const void* Get() const { return m_handle; }

private:
    const void* m_handle = nullptr;
};

QString OpenFailureReason(int code) {
    switch (code) {
        case FREEXL_FILE_NOT_FOUND:
            return QStringLiteral("文件不存在。");
        case FREEXL_INSUFFICIENT_MEMORY:
            return DamagedOrTooLarge();
        case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        case FREEXL_INVALID_MINI_STREAM:
        case FREEXL_CFBF_ILLEGAL_MINI_FAT_ENTRY:
        case FREEXL_UNSUPPORTED_CHARSET:
            // Some writers lay out small files in a way the reader refuses; saving
            // again from a spreadsheet program gives the usual layout.
            return QStringLiteral(
                "文件的内部格式不受支持。请用Excel或LibreOffice打开它，另存为"
                "“Excel 97-2003 工作簿(*.xls)”后再试。");
        default:
            return QStringLiteral("它不是Excel 97-2003工作簿(*.xls)，或者文件已经损坏。");
    }
}

QString CellText(const FreeXL_CellValue& value) {
    switch (value.type) {
        case FREEXL_CELL_INT:
            return QString::number(value.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return NumberText(value.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            return value.value.text_value ? QString::fromUtf8(value.value.text_value) : QString();
        default:
            return QString();
    }
}

bool ReadSheet(const void* handle, unsigned short index, Worksheet* sheet) {
    const char* name = nullptr;
    if (freexl_get_worksheet_name(handle, index, &name) != FREEXL_OK ||
        freexl_select_active_worksheet(handle, index) != FREEXL_OK)
        return false;
    sheet->name = QString::fromUtf8(name ? name : "");
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) return false;
    sheet->rows.reserve(rows > 0 ? rows - 1 : 0);
    for (unsigned int r = 0; r < rows; ++r) {
        WorksheetRow row;
        row.number = int(r);
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(handle, r, c, &value) != FREEXL_OK) return false;
            QString text = CellText(value);
            if (!text.isEmpty()) row.cells.insert(c, std::move(text));
        }
        if (r == 0) {
            for (int c = 0; c < columns; ++c) sheet->header << row.Cell(c);
        } else {
            sheet->rows.push_back(std::move(row));
        }
    }
    return true;
}

}  // namespace

QStringList Workbook::SheetNames() const {
    QStringList names;
    for (const Worksheet& sheet : sheets) names << sheet.name;
    return names;
}

const Worksheet* Workbook::Sheet(const QString& name, QString* error) const {
    for (const Worksheet& sheet : sheets)
        if (sheet.name.compare(name, Qt::CaseInsensitive) == 0) return &sheet;
    if (error) *error = WorkbookFailure(path, QStringLiteral("没有名为“%1”的工作表。").arg(name));
    return nullptr;
}

std::optional<Workbook> ReadWorkbookHere(const QString& path, QString* error) {
    auto fail = [&](const QString& reason) {
        if (error) *error = WorkbookFailure(path, reason);
        return std::nullopt;
    };
    if (!QFileInfo(path).isFile()) return fail(OpenFailureReason(FREEXL_FILE_NOT_FOUND));
    switch (DetectWorkbookFormat(path)) {
        case WorkbookFormat::Xlsx: {
            QString reason;
            auto workbook = xlsx::ReadWorkbook(path, &reason);
            if (!workbook) return fail(reason);
            return workbook;
        }
        case WorkbookFormat::EncryptedXlsx:
            return fail(QStringLiteral("文件设有密码保护。"));
        case WorkbookFormat::Other:
            return fail(QStringLiteral("它不是Excel工作簿(*.xls、*.xlsx)，或者文件已经损坏。"));
        case WorkbookFormat::Xls:
            break;
    }

    FreeXlHandle handle;
    const int opened = freexl_open(QFile::encodeName(path).constData(), handle.Out());
    if (opened != FREEXL_OK) return fail(OpenFailureReason(opened));

    unsigned int protection = FREEXL_UNKNOWN;
    if (freexl_get_info(handle.Get(), FREEXL_BIFF_PASSWORD, &protection) == FREEXL_OK &&
        protection == FREEXL_BIFF_OBFUSCATED)
        return fail(QStringLiteral("文件设有密码保护。"));

    unsigned int count = 0;
    if (freexl_get_info(handle.Get(), FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
        return fail(OpenFailureReason(FREEXL_BIFF_WORKBOOK_NOT_FOUND));

    Workbook workbook;
    workbook.path = path;
    workbook.sheets.resize(count);
    for (unsigned int i = 0; i < count; ++i)
        if (!ReadSheet(handle.Get(), static_cast<unsigned short>(i), &workbook.sheets[i]))
            return fail(OpenFailureReason(FREEXL_CRAFTED_FILE));
    return workbook;
}
