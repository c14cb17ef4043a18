#include "data/xlsxworkbook.h"

#include <quazip.h>
#include <quazipfile.h>

#include <QDate>
#include <QDir>
#include <QHash>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <new>

#include "data/adoconn.h"
#include "data/xmlscanner.h"

namespace xlsx {
namespace {

constexpr int kRowLimit = 1'048'576;        // the most rows a sheet can have
constexpr int kColumnLimit = 16'384;        // the most columns, A to XFD
constexpr double kLastSerialDay = 2958465;  // 9999-12-31

// Why the package cannot be read; thrown from inside the parsing and caught once.
struct Unreadable {
    QString reason;
};

[[noreturn]] void Damaged(const QString& detail) {
    throw Unreadable{QStringLiteral("文件已经损坏（%1）。").arg(detail)};
}

[[noreturn]] void NotAWorkbook() {
    throw Unreadable{QStringLiteral("它是压缩文件，但不是Excel工作簿(*.xlsx)。")};
}

// The zip package, with every inflated byte counted against the limits.
class Package {
public:
    explicit Package(const QString& path) : m_zip(path) {}

    bool Open() { return m_zip.open(QuaZip::mdUnzip); }

    // The inflated part, or nullopt when the package has no part of that name.
    std::optional<QByteArray> Read(const QString& name) {
        if (name.isEmpty() || !m_zip.setCurrentFile(name, QuaZip::csInsensitive))
            return std::nullopt;
        QuaZipFile file(&m_zip);
        if (!file.open(QIODevice::ReadOnly)) Damaged(QStringLiteral("无法解压“%1”").arg(name));
        // Inflated straight into one buffer, as large as the entry claims (a hint only: the
        // limits count what really comes out).
        constexpr qint64 kChunk = 256 * 1024;
        QByteArray data;
        data.reserve(qsizetype(std::clamp(file.usize(), kChunk, kPartLimit) + kChunk));
        for (;;) {
            const qsizetype filled = data.size();
            if (data.capacity() - filled < kChunk) data.reserve(filled * 2);
            data.resize(filled + kChunk);
            const qint64 read = file.read(data.data() + filled, kChunk);
            data.resize(filled + std::max<qint64>(read, 0));
            if (read < 0) Damaged(QStringLiteral("无法解压“%1”").arg(name));
            if (read == 0) break;
            m_inflated += read;
            if (data.size() > kPartLimit)
                throw Unreadable{QStringLiteral("其中的“%1”解压后超过%2 MB，文件可能已经损坏。")
                                     .arg(name)
                                     .arg(kPartLimit >> 20)};
            if (m_inflated > kPackageLimit)
                throw Unreadable{QStringLiteral("它解压后超过%1 MB，文件可能已经损坏。")
                                     .arg(kPackageLimit >> 20)};
        }
        file.close();
        if (file.getZipError() != UNZ_OK) Damaged(QStringLiteral("“%1”校验失败").arg(name));
        return data;
    }

    // Like Read, for a part that a relationship promises.
    QByteArray ReadRequired(const QString& name) {
        auto data = Read(name);
        if (!data) Damaged(QStringLiteral("缺少“%1”").arg(name));
        return *data;
    }

private:
    QuaZip m_zip;
    qint64 m_inflated = 0;
};

// The next token of a small part (relationships, workbook, styles). Workbook parts never
// declare a document type, and entity tricks would live there, so a declaration counts
// as damage.
QXmlStreamReader::TokenType Advance(QXmlStreamReader& xml, const QString& part) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (xml.hasError())
        Damaged(QStringLiteral("“%1”第%2行不是有效的XML").arg(part).arg(xml.lineNumber()));
    if (token == QXmlStreamReader::DTD) Damaged(QStringLiteral("“%1”含有文档类型声明").arg(part));
    return token;
}

// The next token of a shared-strings or sheet part.
XmlScanner::Token Step(XmlScanner& xml, const QString& part) {
    const XmlScanner::Token token = xml.Next();
    if (token == XmlScanner::Token::Invalid) {
        if (xml.problem() == XmlScanner::Problem::DocumentType)
            Damaged(QStringLiteral("“%1”含有文档类型声明").arg(part));
        Damaged(QStringLiteral("“%1”第%2行不是有效的XML").arg(part).arg(xml.Line()));
    }
    return token;
}

// Appends to *utf8 the text inside the elements named textElement within the current
// element (the current one included), leaving out phonetic guides; ends after the
// current element.
void CollectText(XmlScanner& xml, const QString& part, QByteArrayView textElement,
                 QByteArray* utf8) {
    int depth = 1;
    int textDepth = xml.NameIs(textElement) ? 1 : 0;
    int phoneticDepth = 0;
    while (depth > 0) {
        switch (Step(xml, part)) {
            case XmlScanner::Token::StartElement:
                ++depth;
                if (!phoneticDepth && xml.NameIs("rPh"))
                    phoneticDepth = depth;
                else if (!textDepth && xml.NameIs(textElement))
                    textDepth = depth;
                break;
            case XmlScanner::Token::EndElement:
                if (depth == phoneticDepth) phoneticDepth = 0;
                if (depth == textDepth) textDepth = 0;
                --depth;
                break;
            case XmlScanner::Token::Text:
                if (textDepth && !phoneticDepth) xml.AppendText(utf8);
                break;
            default:  // the scanner ends a document only after its root
                break;
        }
    }
}

// Relationship targets are relative to the folder of their source part.
QString ResolveTarget(const QString& folder, const QString& target) {
    const QString joined = target.startsWith('/') ? target.mid(1) : folder + target;
    const QString clean = QDir::cleanPath(joined);
    return clean.startsWith(QStringLiteral("..")) ? QString() : clean;
}

QString FolderOf(const QString& part) {
    return part.left(part.lastIndexOf('/') + 1);
}

struct Relationship {
    QString type;
    QString part;
};

// The relationships of a part (of the package when sourcePart is empty), by id.
QHash<QString, Relationship> ReadRelationships(Package& package, const QString& sourcePart) {
    const QString folder = FolderOf(sourcePart);
    const QString name =
        folder + QStringLiteral("_rels/") + sourcePart.mid(folder.size()) + QStringLiteral(".rels");
    QHash<QString, Relationship> relationships;
    const auto data = package.Read(name);
    if (!data) return relationships;
    QXmlStreamReader xml(*data);
    for (auto token = Advance(xml, name); token != QXmlStreamReader::EndDocument;
         token = Advance(xml, name)) {
        if (token != QXmlStreamReader::StartElement || xml.name() != u"Relationship") continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (attributes.value(QLatin1String("TargetMode")) == u"External") continue;
        relationships.insert(
            attributes.value(QLatin1String("Id")).toString(),
            {attributes.value(QLatin1String("Type")).toString(),
             ResolveTarget(folder, attributes.value(QLatin1String("Target")).toString())});
    }
    return relationships;
}

// The part of a relationship whose type ends in "/" + kind (transitional and strict
// packages name the types in different namespaces).
QString PartOfKind(const QHash<QString, Relationship>& relationships, QStringView kind) {
    for (const Relationship& relationship : relationships)
        if (relationship.type.size() > kind.size() && relationship.type.endsWith(kind) &&
            relationship.type.at(relationship.type.size() - kind.size() - 1) == '/')
            return relationship.part;
    return QString();
}

enum class DateKind { None, Date, Time, DateTime };

// The built-in number formats that show dates or times, including those of Chinese
// versions of Excel.
DateKind BuiltInFormat(int id) {
    switch (id) {
        case 14:
        case 15:
        case 16:
        case 17:
        case 27:
        case 28:
        case 29:
        case 30:
        case 31:
        case 36:
        case 50:
        case 51:
        case 52:
        case 53:
        case 54:
        case 57:
        case 58:
            return DateKind::Date;
        case 18:
        case 19:
        case 20:
        case 21:
        case 32:
        case 33:
        case 34:
        case 35:
        case 45:
        case 46:
        case 47:
        case 55:
        case 56:
            return DateKind::Time;
        case 22:
            return DateKind::DateTime;
        default:
            return DateKind::None;
    }
}

// Whether a format code shows a date, a time or both: its letters outside quoted text,
// escaped characters and bracketed colours or locales.
DateKind FormatCodeKind(const QString& code) {
    bool date = false, time = false, month = false;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i).toLower();
        if (c == '"') {
            i = code.indexOf('"', i + 1);
            if (i < 0) break;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            const int end = code.indexOf(']', i);
            if (end < 0) break;
            const QString inside = code.mid(i + 1, end - i - 1).toLower();
            if (!inside.isEmpty() && inside.count(inside.at(0)) == inside.size() &&
                QStringLiteral("hms").contains(inside.at(0)))
                time = true;  // elapsed time: [h], [mm], [ss]
            i = end;
        } else if (c == 'y' || c == 'd') {
            date = true;
        } else if (c == 'h' || c == 's') {
            time = true;
        } else if (c == 'm') {
            month = true;
        }
    }
    if (month && !time) date = true;
    if (date && time) return DateKind::DateTime;
    if (date) return DateKind::Date;
    return time ? DateKind::Time : DateKind::None;
}

// For every cell format of the workbook (the index a cell's "s" names), what its
// number format shows.
std::vector<DateKind> ReadStyles(const QByteArray& data, const QString& part) {
    QHash<int, DateKind> customFormats;
    std::vector<int> formatOfStyle;
    bool inCellFormats = false;
    QXmlStreamReader xml(data);
    for (auto token = Advance(xml, part); token != QXmlStreamReader::EndDocument;
         token = Advance(xml, part)) {
        if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs")
            inCellFormats = false;
        if (token != QXmlStreamReader::StartElement) continue;
        const QStringView name = xml.name();
        if (name == u"cellXfs") {
            inCellFormats = true;
        } else if (name == u"numFmt") {
            customFormats.insert(
                xml.attributes().value(QLatin1String("numFmtId")).toInt(),
                FormatCodeKind(xml.attributes().value(QLatin1String("formatCode")).toString()));
        } else if (name == u"xf" && inCellFormats) {
            formatOfStyle.push_back(xml.attributes().value(QLatin1String("numFmtId")).toInt());
        }
    }
    std::vector<DateKind> kinds;
    kinds.reserve(formatOfStyle.size());
    for (int id : formatOfStyle) kinds.push_back(customFormats.value(id, BuiltInFormat(id)));
    return kinds;
}

std::vector<QString> ReadSharedStrings(const QByteArray& data, const QString& part) {
    std::vector<QString> strings;
    XmlScanner xml(data);
    QByteArray text;
    for (auto token = Step(xml, part); token != XmlScanner::Token::EndDocument;
         token = Step(xml, part)) {
        if (token != XmlScanner::Token::StartElement || !xml.NameIs("si")) continue;
        text.resize(0);
        CollectText(xml, part, "t", &text);
        strings.push_back(QString::fromUtf8(text));
    }
    return strings;
}

// A serial day number as the .xls reader shows dates: "yyyy-MM-dd", "HH:mm:ss" or both.
QString SerialDateText(double serial, DateKind kind, bool date1904) {
    if (!(serial >= 0 && serial < kLastSerialDay + 1)) return NumberText(serial);
    const qint64 seconds = std::llround(serial * 86400.0);
    const qint64 days = seconds / 86400;
    // The 1900 system counts a 29 February 1900 that never was: days before it start
    // one day later.
    const QDate epoch = date1904    ? QDate(1904, 1, 1)
                        : days < 60 ? QDate(1899, 12, 31)
                                    : QDate(1899, 12, 30);
    const QString date = epoch.addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
    const QString time =
        QTime(0, 0).addSecs(int(seconds % 86400)).toString(QStringLiteral("HH:mm:ss"));
    switch (kind) {
        case DateKind::Date:
            return date;
        case DateKind::Time:
            return time;
        default:
            return date + ' ' + time;
    }
}

// What every sheet needs from the rest of the workbook.
struct Context {
    std::vector<QString> sharedStrings;
    std::vector<DateKind> styles;
    bool date1904 = false;
    qint64 cells = 0;  // cells with a value so far, in every sheet
};

struct Cell {
    QByteArrayView type;
    int style = 0;
    QByteArray value;       // <v>, UTF-8
    QByteArray inlineText;  // <is>, UTF-8
};

// The shared string a cell's value names; most cells of a sheet are one.
const QString& SharedString(const QByteArray& value, const Context& context, const QString& part) {
    bool ok = false;
    qint64 index = value.trimmed().toLongLong(&ok);
    if (!ok) index = QString::fromUtf8(value).trimmed().toLongLong(&ok);  // other white space
    if (!ok || index < 0 || index >= qint64(context.sharedStrings.size()))
        Damaged(QStringLiteral("“%1”中的共享字符串序号“%2”超出范围")
                    .arg(part, QString::fromUtf8(value)));
    return context.sharedStrings[size_t(index)];
}

QString CellText(const Cell& cell, const Context& context, const QString& part) {
    if (cell.type == "s") return SharedString(cell.value, context, part);
    if (cell.type == "inlineStr") return QString::fromUtf8(cell.inlineText);
    QString value = QString::fromUtf8(cell.value);
    if (cell.type == "b") {
        if (value == u"1") return QStringLiteral("TRUE");
        if (value == u"0") return QStringLiteral("FALSE");
        return value;
    }
    if (cell.type == "d") return value.left(19).replace('T', ' ');
    if (cell.type == "str" || cell.type == "e" || value.isEmpty()) return value;
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok) return value;
    const DateKind kind = cell.style >= 0 && size_t(cell.style) < context.styles.size()
                              ? context.styles[size_t(cell.style)]
                              : DateKind::None;
    return kind == DateKind::None ? NumberText(number)
                                  : SerialDateText(number, kind, context.date1904);
}

// "B12" → column 1; -1 when it is no cell reference inside the sheet's bounds.
int ColumnOfReference(QByteArrayView reference) {
    int column = 0, letters = 0;
    while (letters < reference.size() && letters < 4 && reference.at(letters) >= 'A' &&
           reference.at(letters) <= 'Z')
        column = column * 26 + (reference.at(letters++) - 'A' + 1);
    bool ok = false;
    const int row = reference.sliced(letters).toInt(&ok);
    if (letters == 0 || !ok || row < 1 || row > kRowLimit || column > kColumnLimit) return -1;
    return column - 1;
}

void ReadCell(XmlScanner& xml, const QString& part, Cell* cell) {
    for (auto token = Step(xml, part); token != XmlScanner::Token::EndElement;
         token = Step(xml, part)) {
        if (token != XmlScanner::Token::StartElement) continue;
        if (xml.NameIs("v")) {
            cell->value.resize(0);
            CollectText(xml, part, "v", &cell->value);
        } else if (xml.NameIs("is")) {
            cell->inlineText.resize(0);
            CollectText(xml, part, "t", &cell->inlineText);
        } else {
            QByteArray skipped;
            CollectText(xml, part, {}, &skipped);  // a formula or extension: skipped
        }
    }
}

// Lays out the rows with a value as the .xls reader does: the first row as titles as
// wide as the widest row, then every row below down to the last with a value, the rows
// between them empty.
void LayOut(std::vector<WorksheetRow>&& filled, int columns, Worksheet* sheet) {
    auto row = filled.begin();
    const bool hasTitles = row != filled.end() && row->number == 0;
    for (int c = 0; c < columns; ++c) sheet->header << (hasTitles ? row->Cell(c) : QString());
    if (hasTitles) ++row;
    if (!filled.empty()) sheet->rows.reserve(size_t(filled.back().number));
    for (int next = 1; row != filled.end(); ++row) {
        while (next < row->number) sheet->rows.push_back(WorksheetRow{next++, {}});
        next = row->number + 1;
        sheet->rows.push_back(std::move(*row));
    }
}

void ReadSheet(const QByteArray& data, const QString& part, Context* context, Worksheet* sheet) {
    std::vector<WorksheetRow> filled;  // rows with a value, in sheet order
    int columns = 0;
    int row = -1;        // 0-based row being read
    int nextColumn = 0;  // of a cell without a reference
    bool inSheetData = false;
    XmlScanner xml(data);
    Cell cell;
    QByteArray referenceScratch, typeScratch, styleScratch;
    for (auto token = Step(xml, part); token != XmlScanner::Token::EndDocument;
         token = Step(xml, part)) {
        if (token == XmlScanner::Token::EndElement && xml.NameIs("sheetData")) inSheetData = false;
        if (token != XmlScanner::Token::StartElement) continue;
        if (xml.NameIs("sheetData")) {
            inSheetData = true;
        } else if (inSheetData && xml.NameIs("row")) {
            const QByteArrayView number = xml.Attribute("r", &referenceScratch);
            bool ok = true;
            const int next = number.isEmpty() ? row + 1 : number.toInt(&ok) - 1;
            if (!ok || next <= row || next >= kRowLimit)
                Damaged(
                    QStringLiteral("“%1”中的行号“%2”无效").arg(part, QString::fromUtf8(number)));
            row = next;
            nextColumn = 0;
        } else if (inSheetData && xml.NameIs("c")) {
            const QByteArrayView reference = xml.Attribute("r", &referenceScratch);
            const int column = reference.isEmpty() ? nextColumn : ColumnOfReference(reference);
            if (row < 0 || column < 0 || column >= kColumnLimit)
                Damaged(QStringLiteral("“%1”中的单元格“%2”位置无效")
                            .arg(part, QString::fromUtf8(reference)));
            nextColumn = column + 1;
            cell.type = xml.Attribute("t", &typeScratch);
            cell.style = xml.Attribute("s", &styleScratch).toInt();
            cell.value.resize(0);
            cell.inlineText.resize(0);
            ReadCell(xml, part, &cell);
            QString text = CellText(cell, *context, part);
            if (text.isEmpty()) continue;
            if (++context->cells > kCellLimit)
                throw Unreadable{
                    QStringLiteral("它有超过%1个填写的单元格，超出了导入的限度。").arg(kCellLimit)};
            if (filled.empty() || filled.back().number != row)
                filled.push_back(WorksheetRow{row, {}});
            filled.back().cells.insert(column, std::move(text));
            columns = std::max(columns, column + 1);
        }
    }
    LayOut(std::move(filled), columns, sheet);
}

struct SheetEntry {
    QString name;
    QString relationshipId;
};

std::vector<SheetEntry> ReadSheetList(const QByteArray& data, const QString& part, bool* date1904) {
    std::vector<SheetEntry> sheets;
    bool atRoot = true;
    QXmlStreamReader xml(data);
    for (auto token = Advance(xml, part); token != QXmlStreamReader::EndDocument;
         token = Advance(xml, part)) {
        if (token != QXmlStreamReader::StartElement) continue;
        // A document or a presentation comes in the same package around other content.
        if (atRoot && xml.name() != u"workbook") NotAWorkbook();
        atRoot = false;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"workbookPr") {
            const QStringView value = attributes.value(QLatin1String("date1904"));
            *date1904 = value == u"1" || value == u"true";
        } else if (xml.name() == u"sheet") {
            SheetEntry entry{attributes.value(QLatin1String("name")).toString(), QString()};
            for (const QXmlStreamAttribute& attribute : attributes)
                if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                    entry.relationshipId = attribute.value().toString();
            sheets.push_back(std::move(entry));
        }
    }
    return sheets;
}

Workbook ReadPackage(const QString& path) {
    Package package(path);
    if (!package.Open()) throw Unreadable{QStringLiteral("它不是Excel工作簿，或者文件已经损坏。")};

    const QString workbookPart =
        PartOfKind(ReadRelationships(package, QString()), u"officeDocument");
    // A binary workbook (.xlsb) has the same package but no XML to read.
    if (!workbookPart.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive)) NotAWorkbook();
    const auto workbookXml = package.Read(workbookPart);
    if (!workbookXml) NotAWorkbook();

    Context context;
    const std::vector<SheetEntry> entries =
        ReadSheetList(*workbookXml, workbookPart, &context.date1904);
    const QHash<QString, Relationship> parts = ReadRelationships(package, workbookPart);
    const QString stringsPart = PartOfKind(parts, u"sharedStrings");
    if (!stringsPart.isEmpty())
        context.sharedStrings = ReadSharedStrings(package.ReadRequired(stringsPart), stringsPart);
    const QString stylesPart = PartOfKind(parts, u"styles");
    if (!stylesPart.isEmpty())
        context.styles = ReadStyles(package.ReadRequired(stylesPart), stylesPart);

    Workbook workbook;
    workbook.path = path;
    for (const SheetEntry& entry : entries) {
        const Relationship target = parts.value(entry.relationshipId);
        if (!target.type.endsWith(QStringLiteral("/worksheet"))) continue;  // charts and the like
        Worksheet sheet;
        sheet.name = entry.name;
        ReadSheet(package.ReadRequired(target.part), target.part, &context, &sheet);
        workbook.sheets.push_back(std::move(sheet));
    }
    return workbook;
}

}  // namespace

std::optional<Workbook> ReadWorkbook(const QString& path, QString* reason) {
    try {
        return ReadPackage(path);
    } catch (const Unreadable& unreadable) {
        if (reason) *reason = unreadable.reason;
    } catch (const std::bad_alloc&) {
        if (reason) *reason = QStringLiteral("内存不足。");
    }
    return std::nullopt;
}

}  // namespace xlsx
