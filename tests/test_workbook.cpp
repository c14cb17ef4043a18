#include <quazip.h>
#include <quazipfile.h>

#include <QElapsedTimer>
#include <QFile>
#include <QtEndian>

#include "data/workbook.h"
#include "data/xlsxworkbook.h"
#include "testutil.h"

namespace {

using WorkbookTest = TempFolderTest;

QString Fixture(const QString& name) {
    return QStringLiteral(VEMO_TEST_DATA "/") + name;
}

void ExpectSameWorkbook(const Workbook& xls, const Workbook& xlsx, const QString& name) {
    const std::string context = name.toStdString();
    ASSERT_EQ(xls.SheetNames(), xlsx.SheetNames()) << context;
    for (size_t s = 0; s < xls.sheets.size(); ++s) {
        const Worksheet& a = xls.sheets[s];
        const Worksheet& b = xlsx.sheets[s];
        EXPECT_EQ(a.header, b.header) << context;
        ASSERT_EQ(a.rows.size(), b.rows.size()) << context;
        for (size_t r = 0; r < a.rows.size(); ++r) {
            EXPECT_EQ(a.rows[r].number, b.rows[r].number) << context;
            EXPECT_EQ(a.rows[r].cells, b.rows[r].cells) << context << " row " << r;
        }
    }
}

TEST_F(WorkbookTest, BothFormatsOfAWorkbookGiveTheSameRows) {
    for (const char* base :
         {"cells", "dates", "examinees", "header-fourth-column", "header-other-order",
          "semicolon-third-row", "no-complete-row", "other-sheet-name"}) {
        QString error;
        const auto xls = ReadWorkbook(Fixture(base + QStringLiteral(".xls")), &error);
        ASSERT_TRUE(xls) << error.toStdString();
        const auto xlsx = ReadWorkbook(Fixture(base + QStringLiteral(".xlsx")), &error);
        ASSERT_TRUE(xlsx) << error.toStdString();
        ExpectSameWorkbook(*xls, *xlsx, base);
    }
    QString error;
    const auto dates = ReadWorkbook(Fixture("dates.xlsx"), &error);
    ASSERT_TRUE(dates);
    EXPECT_EQ(dates->sheets[0].rows[0].cells.values(),
              QStringList({"2024-03-05", "2024-03-05 13:45:10", "13:45:10", " 前后有空格 "}));
}

using Parts = std::vector<std::pair<QString, QByteArray>>;

void WriteZip(const QString& path, const Parts& parts) {
    QuaZip zip(path);
    ASSERT_TRUE(zip.open(QuaZip::mdCreate));
    for (const auto& [name, data] : parts) {
        QuaZipFile file(&zip);
        ASSERT_TRUE(
            file.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, Z_DEFLATED, 1));
        file.write(data);
        file.close();
    }
    zip.close();
}

// The smallest package a spreadsheet program opens: one sheet "Sheet1" with the given
// sheet data, shared strings and cell formats.
Parts Package(const QByteArray& sheetData, const QByteArray& sharedStrings = "<sst/>",
              const QByteArray& cellFormats = "") {
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QByteArray relationships =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    return {
        {"_rels/.rels", relationships + "<Relationship Id=\"rId1\" Type=\"" + rel +
                            "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml", "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + rel.chopped(1) +
                                "\"><sheets><sheet name=\"Sheet1\" sheetId=\"1\" "
                                "r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         relationships + "<Relationship Id=\"rId1\" Type=\"" + rel +
             "worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
             rel +
             "sharedStrings\" Target=\"/xl/sharedStrings.xml\"/><Relationship Id=\"rId3\" "
             "Type=\"" +
             rel + "styles\" Target=\"styles.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml",
         "<worksheet xmlns=\"" + main + "\"><sheetData>" + sheetData + "</sheetData></worksheet>"},
        {"xl/sharedStrings.xml", sharedStrings},
        {"xl/styles.xml", "<styleSheet xmlns=\"" + main + "\">" + cellFormats + "</styleSheet>"},
    };
}

// A compound file holding an encrypted package, as Excel saves a workbook with a
// password: header, one FAT sector, one directory sector.
QByteArray EncryptedWorkbook() {
    QByteArray file(512 * 3, '\0');
    char* header = file.data();
    memcpy(header, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, file.data() + at); };
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, file.data() + at); };
    put16(0x1A, 3);
    put16(0x1C, 0xFFFE);
    put16(0x1E, 9);
    put32(0x2C, 1);  // one FAT sector: sector 0
    put32(0x30, 1);  // the directory: sector 1
    put32(0x44, 0xFFFFFFFE);
    for (int i = 0; i < 109; ++i) put32(0x4C + 4 * i, i == 0 ? 0 : 0xFFFFFFFF);
    for (int i = 0; i < 128; ++i)
        put32(512 + 4 * i, i == 0 ? 0xFFFFFFFD : i == 1 ? 0xFFFFFFFE : 0xFFFFFFFF);
    const char* names[] = {"Root Entry", "EncryptionInfo", "EncryptedPackage"};
    for (int e = 0; e < 3; ++e) {
        const QString name = QString::fromLatin1(names[e]);
        const int at = 1024 + 128 * e;
        memcpy(file.data() + at, name.utf16(), size_t(name.size()) * 2);
        put16(at + 0x40, quint16((name.size() + 1) * 2));
        file[at + 0x42] = e == 0 ? 5 : 2;
    }
    return file;
}

// What other writers put in: rich and phonetic text, inline strings, cells and rows
// without a reference, booleans, formula results, dates by a custom format, 1904 days.
TEST_F(WorkbookTest, ReadsTheCellsOfOtherWriters) {
    Parts parts = Package(
        "<row><c t=\"s\"><v>0</v></c><c t=\"inlineStr\"><is><r><t>行</t></r><r><t "
        "xml:space=\"preserve\"> 内 </t></r></is></c><c t=\"b\"><v>1</v></c></row>"
        "<row r=\"3\"><c r=\"B3\" t=\"str\"><f>A1&amp;\"x\"</f><v>共享x</v></c>"
        "<c r=\"C3\" s=\"1\"><v>45356.5</v></c><c r=\"D3\" s=\"2\"><v>0.25</v></c>"
        "<c r=\"E3\" s=\"0\"><v>1E-3</v></c><c r=\"F3\"><v></v></c></row>"
        "<row r=\"4\"/><row r=\"5\"><c r=\"C5\" t=\"e\"><v>#DIV/0!</v></c></row>",
        "<sst><si><r><t>共</t></r><r><t>享</t></r><rPh><t>きょう</t></rPh></si></sst>",
        "<numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy&quot;年&quot;m&quot;月&quot;d&quot;日"
        "&quot; h:mm\"/><numFmt numFmtId=\"165\" formatCode=\"[Red]0.00\"/></numFmts>"
        "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"165\"/></cellXfs>");
    WriteZip(Path("writers.xlsx"), parts);
    QString error;
    const auto workbook = ReadWorkbook(Path("writers.xlsx"), &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    const Worksheet& sheet = workbook->sheets[0];
    EXPECT_EQ(sheet.header, QStringList({"共享", "行 内 ", "TRUE", "", ""}));
    ASSERT_EQ(sheet.rows.size(), 4u);
    EXPECT_TRUE(sheet.rows[0].cells.isEmpty());
    EXPECT_EQ(sheet.rows[1].cells.values(),
              QStringList({"共享x", "2024-03-05 12:00:00", "0.25", "0.001"}));
    EXPECT_EQ(sheet.rows[3].Cell(2), "#DIV/0!");

    parts[1].second.replace("<sheets>", "<workbookPr date1904=\"1\"/><sheets>");
    WriteZip(Path("1904.xlsx"), parts);
    EXPECT_EQ(ReadWorkbook(Path("1904.xlsx"), &error)->sheets[0].rows[1].Cell(2),
              "2028-03-06 12:00:00");
}

// The same one-cell sheet as other writers may put it: prefixes, quotes, references,
// CDATA, comments, line ends, a part in UTF-16; and parts no reader may accept.
TEST_F(WorkbookTest, SheetXmlAsOtherWritersPutIt) {
    const QByteArray sst = "<sst><si><t>a&amp;b&#x4E2D;&#20013;</t></si></sst>";
    QByteArray utf16("\xFF\xFE");
    for (const QChar c : QStringLiteral("<sst><si><t>甲</t></si></sst>"))
        utf16 += QByteArray(1, char(c.unicode() & 0xFF)) + char(c.unicode() >> 8);
    const struct {
        QByteArray sheetData, sharedStrings;
        const char* cell;  // A1, or a piece of the reason when it cannot be read
    } cases[] = {
        {"<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>", sst, "a&b中中"},
        {"<x:row xmlns:x=\"u\" r=\"1\"><x:c r=\"A1\" t=\"inlineStr\"><x:is><x:t>甲</x:t></x:is>"
         "</x:c></x:row>",
         sst, "甲"},
        {"<row r='1'><!-- c --><c r = 'A1' t=\"str\" ><v><![CDATA[<甲>]]></v></c ></row>", sst,
         "<甲>"},
        {"<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>x\r\ny</t></is></c></row>", sst, "x\ny"},
        {"<row r=\"1\"><c r=\"A1\" t=\"&#115;\"><v> 0 </v></c></row>", utf16, "甲"},
        {"<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>\xE7\x94</t></is></c></row>", sst,
         "第1行不是有效的XML"},
        {"<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&nbsp;</t></is></c></row>", sst,
         "不是有效的XML"},
        {"<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>", "<!DOCTYPE sst><sst/>", "文档类型声明"},
    };
    for (const auto& c : cases) {
        WriteZip(Path("other.xlsx"), Package(c.sheetData, c.sharedStrings));
        QString error;
        const auto workbook = ReadWorkbook(Path("other.xlsx"), &error);
        if (workbook)
            EXPECT_EQ(workbook->sheets[0].header, QStringList({QString::fromUtf8(c.cell)}))
                << c.sheetData.constData();
        else
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.cell))) << error.toStdString();
    }
}

TEST_F(WorkbookTest, AMillionEmptyRowsReadAsNone) {
    QByteArray rows = "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>姓名</t></is></c></row>";
    for (int r = 2; r <= 1'048'576; ++r)
        rows += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"A" + QByteArray::number(r) +
                "\" s=\"0\"/></row>";
    WriteZip(Path("empty-rows.xlsx"), Package(rows));
    QString error;
    const auto workbook = ReadWorkbook(Path("empty-rows.xlsx"), &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    EXPECT_EQ(workbook->sheets[0].header, QStringList({"姓名"}));
    EXPECT_TRUE(workbook->sheets[0].rows.empty());
}

TEST_F(WorkbookTest, BadPackagesGiveAClearMessage) {
    const QByteArray header = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>";
    const QByteArray title = "<sst><si><t>姓名</t></si></sst>";
    QFile real(Fixture("examinees.xlsx"));
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    const QByteArray realBytes = real.readAll();
    Parts withoutSheet = Package(header, title);
    withoutSheet.erase(withoutSheet.begin() + 3);
    Parts document = Package(header, title);
    document[1].second.replace("<workbook", "<document").replace("</workbook", "</document");
    const struct {
        const char* file;
        Parts parts;          // written as a zip when there are any
        QByteArray bytes;     // written as they are otherwise
        const char* message;  // a piece of the reason
    } cases[] = {
        {"text.xlsx", {{"readme.txt", "not a workbook"}}, {}, "不是Excel工作簿"},
        {"document.xlsx", document, {}, "不是Excel工作簿"},
        {"truncated.xlsx", {}, realBytes.left(realBytes.size() / 2), "不是Excel工作簿"},
        {"string-index.xlsx",
         Package("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>", title),
         {},
         "共享字符串序号“1”超出范围"},
        {"row-beyond-the-last.xlsx",
         Package(header + "<row r=\"1048577\"/>", title),
         {},
         "行号“1048577”无效"},
        {"cell-beyond-the-last.xlsx",
         Package("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"),
         {},
         "单元格“XFE1”"},
        {"rows-backwards.xlsx",
         Package(header + "<row r=\"3\"/><row r=\"2\"/>", title),
         {},
         "行号“2”无效"},
        {"broken-xml.xlsx", Package("<row r=\"1\"><c>"), {}, "不是有效的XML"},
        {"entities.xlsx",
         {{"_rels/.rels", "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">]><r>&a;</r>"}},
         {},
         "文档类型声明"},
        {"no-sheet-part.xlsx", withoutSheet, {}, "缺少“xl/worksheets/sheet1.xml”"},
        {"bomb.xlsx", Package(QByteArray(xlsx::kPartLimit, ' ')), {}, "解压后超过64 MB"},
        {"password.xlsx", {}, EncryptedWorkbook(), "文件设有密码保护"},
        {"password.xls", {}, EncryptedWorkbook(), "文件设有密码保护"},
    };
    for (const auto& c : cases) {
        if (c.parts.empty()) {
            QFile file(Path(c.file));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.bytes);
        } else {
            WriteZip(Path(c.file), c.parts);
        }
        QString error;
        EXPECT_FALSE(ReadWorkbook(Path(c.file), &error)) << c.file;
        EXPECT_TRUE(error.startsWith(QStringLiteral("无法读取Excel文件“%1”：").arg(c.file)) &&
                    error.contains(QString::fromUtf8(c.message)))
            << c.file << ": " << error.toStdString();
    }
}

TEST_F(WorkbookTest, ReadsEverySheetWithCellsAsText) {
    QString error;
    const auto workbook = ReadWorkbook(Fixture("cells.xls"), &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    EXPECT_EQ(workbook->SheetNames(), QStringList({"说明", "Sheet1"}));

    const Worksheet* sheet = workbook->Sheet("sheet1", &error);  // names ignore case
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->header, QStringList({"名称", "整数", "小数", "负数", "备注"}));
    ASSERT_EQ(sheet->rows.size(), 4u);

    const WorksheetRow& first = sheet->rows[0];
    EXPECT_EQ(first.number, 1);
    EXPECT_EQ(first.Cell(1), "12");  // a whole number reads as its digits
    EXPECT_EQ(first.Cell(2), "12.5");
    EXPECT_EQ(first.Cell(3), "-3");
    EXPECT_FALSE(first.Has(4));

    const WorksheetRow& second = sheet->rows[1];
    EXPECT_FALSE(second.Has(1));
    EXPECT_EQ(second.Cell(3), "0");               // zero is a value, not an empty cell
    EXPECT_TRUE(sheet->rows[2].cells.isEmpty());  // the gap row keeps its place
    EXPECT_EQ(sheet->rows[3].Cell(1), "1000000");
    EXPECT_EQ(sheet->rows[3].number, 4);
}

TEST_F(WorkbookTest, AMissingSheetIsNamedInTheMessage) {
    QString error;
    const auto workbook = ReadWorkbook(Fixture("other-sheet-name.xls"), &error);
    ASSERT_TRUE(workbook);
    EXPECT_EQ(workbook->Sheet("Sheet1", &error), nullptr);
    EXPECT_TRUE(error.contains("Sheet1")) << error.toStdString();
    EXPECT_TRUE(error.contains("other-sheet-name.xls")) << error.toStdString();
}

TEST_F(WorkbookTest, UnreadableFilesGiveAMessageInsteadOfACrash) {
    QFile original(Fixture("examinees.xls"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    const std::pair<const char*, QByteArray> files[] = {
        {"empty.xls", QByteArray()},
        {"text.xls", QByteArray("姓名,部门,职务\n张三,生产部,操作工\n").repeated(40)},
        {"truncated.xls", bytes.left(bytes.size() / 2)},
        {"scrambled.xls", bytes.left(512) + QByteArray(bytes.size() - 512, '\xff')},
    };
    for (const auto& [name, content] : files) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QString error;
        EXPECT_FALSE(ReadWorkbook(Path(name), &error)) << name;
        EXPECT_TRUE(error.startsWith("无法读取Excel文件")) << name;
        EXPECT_TRUE(error.contains(name)) << error.toStdString();
    }
    QString error;
    EXPECT_FALSE(ReadWorkbook(Path("absent.xls"), &error));
    EXPECT_TRUE(error.contains("文件不存在")) << error.toStdString();
    EXPECT_FALSE(ReadWorkbook(Path("."), &error));
}

// The process's peak resident memory in bytes, as the kernel counts it.
qint64 PeakMemory() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ')[0].toLongLong() * 1024;
    return 0;
}

TEST_F(WorkbookTest, DamagedWorkbooksEndInAMessageWithinTheLimits) {
    // Each makes the parsing library claim gigabytes or read past its buffers, or the
    // child's reply grow to hundreds of megabytes.
    QFile peak("/proc/self/clear_refs");  // the peak counts from here
    if (peak.open(QIODevice::WriteOnly)) peak.write("5");
    peak.close();
    for (const char* name : {"biff2-claims-1.8GB-96-bytes.xls", "claims-24GB-1305-bytes.xls",
                             "directory-name-overrun.xls", "many-cells-1.1M.xlsx"}) {
        QElapsedTimer took;
        took.start();
        QString error;
        EXPECT_FALSE(ReadWorkbook(Fixture("damaged-workbooks/") + name, &error)) << name;
        EXPECT_LT(took.elapsed(), 30000) << name;
        EXPECT_TRUE(error.startsWith(QStringLiteral("无法读取Excel文件“%1”：").arg(name)))
            << error.toStdString();
        EXPECT_EQ(error.count(QStringLiteral("无法读取")), 1) << error.toStdString();
    }
    EXPECT_LT(PeakMemory(), qint64(300) << 20) << "the reading stayed in the child";
}

TEST_F(WorkbookTest, AMissingOrBrokenReaderIsAMessageNotAHang) {
    SetWorkbookReaderProgram(Path("no-such-reader"));
    QString error;
    EXPECT_FALSE(ReadWorkbook(Fixture("cells.xls"), &error));
    EXPECT_TRUE(error.contains("no-such-reader")) << error.toStdString();
    SetWorkbookReaderProgram("/bin/echo");  // answers with something that is no reply
    EXPECT_FALSE(ReadWorkbook(Fixture("cells.xls"), &error));
    EXPECT_TRUE(error.endsWith(DamagedOrTooLarge())) << error.toStdString();
    SetWorkbookReaderProgram(QStringLiteral(VEMO_WORKBOOK_READER));
}

}  // namespace

