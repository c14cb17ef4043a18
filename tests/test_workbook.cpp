#include <QElapsedTimer>
#include <QFile>

#include "data/workbook.h"
#include "testutil.h"

namespace {

using WorkbookTest = TempFolderTest;

QString Fixture(const char* name) {
    return QStringLiteral(VEMO_TEST_DATA "/") + QString::fromUtf8(name);
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
    // Each makes the parsing library claim gigabytes or read past its buffers.
    for (const char* name : {"biff2-claims-1.8GB-96-bytes.xls", "claims-24GB-1305-bytes.xls",
                             "directory-name-overrun.xls"}) {
        QElapsedTimer took;
        took.start();
        QString error;
        EXPECT_FALSE(ReadWorkbook(Fixture("damaged-workbooks/") + name, &error)) << name;
        EXPECT_LT(took.elapsed(), 30000) << name;
        EXPECT_TRUE(error.startsWith(QStringLiteral("无法读取Excel文件“%1”：").arg(name)))
            << error.toStdString();
        EXPECT_EQ(error.count(QStringLiteral("无法读取")), 1) << error.toStdString();
    }
    EXPECT_LT(PeakMemory(), kWorkbookMemoryLimit) << "the reading stayed in the child";
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
