#include "data/xlsxwriter.h"

#include <QXmlStreamWriter>
#include <algorithm>

#include "data/ziparchive.h"

namespace xlsxwriter {
namespace {

const char* const kMainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char* const kRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

QByteArray Part(const char* xml) {
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n") + xml;
}

const char* const kContentTypes =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" "
    "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/xl/workbook.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
    "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
    "<Override PartName=\"/xl/styles.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
    "</Types>";

const char* const kPackageRelationships =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"xl/workbook.xml\"/></Relationships>";

const char* const kWorkbookRelationships =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
    "Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
    "Target=\"styles.xml\"/></Relationships>";

// Two cell formats: 0 plain, 1 bold for the header.
const char* const kStyles =
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"宋体\"/></font>"
    "<font><b/><sz val=\"11\"/><name val=\"宋体\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
    "</cellStyleXfs>"
    "<cellXfs count=\"2\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
    "</cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

bool IsPlainDecimal(const QString& text) {
    qsizetype i = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype digitsFrom = i;
    while (i < text.size() && text[i].isDigit()) ++i;
    if (i == digitsFrom || i - digitsFrom > 15) return false;
    if (i == text.size()) return true;
    if (text[i] != QLatin1Char('.')) return false;
    const qsizetype fraction = ++i;
    while (i < text.size() && text[i].isDigit()) ++i;
    return i == text.size() && i > fraction;
}

// XML 1.0 has no place for most control characters: they are left out.
QString XmlSafe(const QString& text) {
    QString safe;
    safe.reserve(text.size());
    for (QChar c : text)
        if (c >= QChar(0x20) || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r'))
            if (c != QChar(0xFFFE) && c != QChar(0xFFFF)) safe += c;
    return safe;
}

// A column wide enough for its longest text, a Chinese character taking two places.
int DisplayWidth(const QString& text) {
    int width = 0;
    for (QChar c : text) width += c.unicode() < 0x2E80 ? 1 : 2;
    return width;
}

// Sheet names may not hold []:*?/\ and have at most 31 characters.
QString SheetNameOf(const QString& name) {
    QString safe = XmlSafe(name);
    for (QChar& c : safe)
        if (QStringLiteral("[]:*?/\\").contains(c)) c = QLatin1Char('_');
    safe = safe.left(31);
    return safe.isEmpty() ? QStringLiteral("Sheet1") : safe;
}

void WriteCell(QXmlStreamWriter& xml, int row, int column, const Cell& cell, bool bold) {
    xml.writeStartElement(QStringLiteral("c"));
    xml.writeAttribute(QStringLiteral("r"), ColumnName(column) + QString::number(row + 1));
    if (bold) xml.writeAttribute(QStringLiteral("s"), QStringLiteral("1"));
    if (cell.number && IsPlainDecimal(cell.text)) {
        xml.writeTextElement(QStringLiteral("v"), cell.text);
    } else {
        xml.writeAttribute(QStringLiteral("t"), QStringLiteral("inlineStr"));
        xml.writeStartElement(QStringLiteral("is"));
        xml.writeStartElement(QStringLiteral("t"));
        const QString text = XmlSafe(cell.text);
        if (text.trimmed() != text)
            xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        xml.writeCharacters(text);
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

QByteArray SheetPart(const QStringList& header, const QList<Row>& rows) {
    QByteArray part;
    QXmlStreamWriter xml(&part);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    xml.writeStartElement(QStringLiteral("worksheet"));
    xml.writeDefaultNamespace(QString::fromLatin1(kMainNamespace));
    std::vector<int> widths(size_t(header.size()), 0);
    for (int column = 0; column < header.size(); ++column)
        widths[size_t(column)] = DisplayWidth(header[column]);
    for (const Row& row : rows)
        for (int column = 0; column < std::min(int(row.size()), int(header.size())); ++column)
            widths[size_t(column)] =
                std::max(widths[size_t(column)], DisplayWidth(row[column].text));
    if (!header.isEmpty()) {
        xml.writeStartElement(QStringLiteral("cols"));
        for (int column = 0; column < header.size(); ++column) {
            xml.writeEmptyElement(QStringLiteral("col"));
            xml.writeAttribute(QStringLiteral("min"), QString::number(column + 1));
            xml.writeAttribute(QStringLiteral("max"), QString::number(column + 1));
            xml.writeAttribute(QStringLiteral("width"),
                               QString::number(std::clamp(widths[size_t(column)] + 2, 6, 60)));
            xml.writeAttribute(QStringLiteral("customWidth"), QStringLiteral("1"));
        }
        xml.writeEndElement();
    }
    xml.writeStartElement(QStringLiteral("sheetData"));
    auto writeRow = [&](int number, const Row& cells, bool bold) {
        xml.writeStartElement(QStringLiteral("row"));
        xml.writeAttribute(QStringLiteral("r"), QString::number(number + 1));
        for (int column = 0; column < cells.size(); ++column)
            if (!cells[column].text.isEmpty()) WriteCell(xml, number, column, cells[column], bold);
        xml.writeEndElement();
    };
    Row headerRow;
    for (const QString& heading : header) headerRow.append({heading, false});
    writeRow(0, headerRow, true);
    for (int r = 0; r < rows.size(); ++r) writeRow(r + 1, rows[r], false);
    xml.writeEndElement();  // sheetData
    xml.writeEndElement();  // worksheet
    xml.writeEndDocument();
    return part;
}

QByteArray WorkbookPart(const QString& sheetName) {
    QByteArray part;
    QXmlStreamWriter xml(&part);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    xml.writeStartElement(QStringLiteral("workbook"));
    xml.writeDefaultNamespace(QString::fromLatin1(kMainNamespace));
    xml.writeNamespace(QString::fromLatin1(kRelationships), QStringLiteral("r"));
    xml.writeStartElement(QStringLiteral("sheets"));
    xml.writeEmptyElement(QStringLiteral("sheet"));
    xml.writeAttribute(QStringLiteral("name"), SheetNameOf(sheetName));
    xml.writeAttribute(QStringLiteral("sheetId"), QStringLiteral("1"));
    xml.writeAttribute(QString::fromLatin1(kRelationships), QStringLiteral("id"),
                       QStringLiteral("rId1"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return part;
}

}  // namespace

QString ColumnName(int column) {
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(QLatin1Char(char('A' + (n - 1) % 26))));
    return name;
}

bool WriteSheet(const QString& path, const QString& sheetName, const QStringList& header,
                const QList<Row>& rows, QString* error) {
    return ziparchive::Write(
        path,
        {{QStringLiteral("[Content_Types].xml"), Part(kContentTypes)},
         {QStringLiteral("_rels/.rels"), Part(kPackageRelationships)},
         {QStringLiteral("xl/workbook.xml"), WorkbookPart(sheetName)},
         {QStringLiteral("xl/_rels/workbook.xml.rels"), Part(kWorkbookRelationships)},
         {QStringLiteral("xl/styles.xml"), Part(kStyles)},
         {QStringLiteral("xl/worksheets/sheet1.xml"), SheetPart(header, rows)}},
        error);
}

}  // namespace xlsxwriter
