#include <sys/stat.h>

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/filemodes.h"
#include "data/formats.h"
#include "data/settings.h"
#include "data/workbook.h"
#include "testutil.h"

namespace {

using DeliveredFolder = DataFolderTest;

TEST_F(DeliveredFolder, RefusesToOverwriteExistingDataFiles) {
    QString error;
    EXPECT_FALSE(CreateDataFolder(".", Now(), &error));
    EXPECT_TRUE(error.contains("exists"));
}

TEST_F(DeliveredFolder, HoldsTheInitialPasswordDigests) {
    CADOConn conn;
    auto rs = conn.OpenRecordset("select * from LastPass", "personnel.mdb");
    ASSERT_EQ(rs->RecordCount(), 3);
    // Digests of 518274 with "kelp"/"xo" before it and of 903361 with them after it,
    // computed outside the program.
    const QStringList admin = {"533F449A91E61E4628DA0FD33CB60211",
                               "F50B6E40AA1B855D55BDEC729CC77A82",
                               "B03459B79FF08D5C0339FCF260DF4F47"};
    const QStringList manager = {"4E81BC5FBF17FF151FF8409A16524FCB",
                                 "5F86E35492E7373F3DBE1DC02886831D",
                                 "99752EF116F481F3EFFE706B6322C10B"};
    for (int i = 0; i < 3; ++i, rs->MoveNext()) {
        EXPECT_EQ(rs->GetText("系统管理员密码"), admin[i]);
        EXPECT_EQ(rs->GetText("考试管理员密码"), manager[i]);
    }
}

TEST_F(DeliveredFolder, EveryDecidingRecordCarriesAValidCode) {
    CADOConn conn;
    auto paper = conn.OpenRecordset("select * from exampaper", "questions.mdb");
    ASSERT_GE(paper->RecordCount(), 1);
    for (; !paper->IsEOF(); paper->MoveNext()) EXPECT_TRUE(codes::PaperIntact(*paper));
    auto subjectRows = conn.OpenRecordset("select * from testpaper", "questions.mdb");
    ASSERT_GE(subjectRows->RecordCount(), 2) << "a multi-subject paper";
    for (; !subjectRows->IsEOF(); subjectRows->MoveNext())
        EXPECT_TRUE(codes::PaperIntact(*subjectRows));

    conn.CloseDatabase();
    auto exams = conn.OpenRecordset("select * from ExamArrange", "personnel.mdb");
    ASSERT_EQ(exams->RecordCount(), 1);
    EXPECT_TRUE(codes::ExamIntact(*exams));
    EXPECT_TRUE(exams->IsNull("时效"));
    const auto start = ParseExamTime(exams->GetText("开始时间"));
    const auto end = ParseExamTime(exams->GetText("结束时间"));
    ASSERT_TRUE(start && end);
    EXPECT_EQ(*start, Now().addSecs(-3600));
    EXPECT_EQ(*end, Now().addDays(7));
    const QString examNo = exams->GetText("考试号");

    auto registers =
        conn.OpenRecordset("select * from ExamRegister where 考试号=?", "personnel.mdb", {examNo});
    ASSERT_GT(registers->RecordCount(), 0);
    for (; !registers->IsEOF(); registers->MoveNext()) {
        EXPECT_TRUE(registers->IsNull("成绩"));
        EXPECT_TRUE(codes::EnrolmentIntact(*registers));
    }

    auto join = conn.OpenRecordset("select * from JoinExam where 考试号=?", "personnel.mdb",
                                   {examNo.toInt()});
    ASSERT_EQ(join->RecordCount(), 1);
    EXPECT_TRUE(codes::SelectionCountersValid(registers->RecordCount(), join->RecordCount(),
                                              join->GetCollect("考生质量"),
                                              join->GetCollect("考生数量")));
    EXPECT_TRUE(codes::ScoreQueryCountersValid(
        registers->RecordCount(), join->GetCollect("考生质量"), join->GetCollect("考生数量")));
}

TEST_F(DeliveredFolder, BankHasEveryTypeAndThePictureFileExists) {
    CADOConn conn;
    for (const char* type : {"单选题", "判断题", "填空题", "多选题", "问答题"}) {
        auto rs = conn.OpenRecordset(QString("select * from ") + type, "questions.mdb");
        EXPECT_GT(rs->RecordCount(), 0) << type;
    }
    auto fill = conn.OpenRecordset("select * from 填空题 where 答案 like '%#%'", "questions.mdb");
    EXPECT_GT(fill->RecordCount(), 0) << "a two-blank fill-in question";
    auto pictured =
        conn.OpenRecordset("select * from 单选题 where 图片 is not null", "questions.mdb");
    ASSERT_EQ(pictured->RecordCount(), 1);
    EXPECT_EQ(pictured->GetText("图片"), "单选题" + pictured->GetText("ID"));
    EXPECT_TRUE(QFile::exists(".//QuestionMap//" + pictured->GetText("图片") + ".bmp"));
    EXPECT_EQ(conn.OpenRecordset("select * from Subject", "questions.mdb")->RecordCount(), 2);
}

TEST_F(DeliveredFolder, QuestionTemplateHasASheetPerTypeWithTheImportTitles) {
    QString error;
    const auto workbook = ReadWorkbook("questions.xls", &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    const QString choice = "科目|题型|题干|答案|A|B|C|D|E|难度|对象";
    const QString free = "科目|题型|题干|答案|难度|对象";
    const QStringList titles = {choice, "科目|题型|题干|答案|A|B|难度|对象", free, choice, free};
    EXPECT_EQ(workbook->SheetNames(),
              QStringList({"单选题", "判断题", "填空题", "多选题", "问答题"}));
    for (size_t i = 0; i < workbook->sheets.size() && i < 5; ++i) {
        const Worksheet& sheet = workbook->sheets[i];
        EXPECT_EQ(sheet.header.join('|'), titles[int(i)]) << sheet.name.toStdString();
        ASSERT_EQ(sheet.rows.size(), 1u);
        EXPECT_EQ(sheet.rows[0].Cell(1), sheet.name);
    }
}

TEST_F(DeliveredFolder, SettingsHoldDepartmentsAndFourTargetGroups) {
    const QStringList departments = settings::DepartmentNames();
    ASSERT_GE(departments.size(), 3);
    EXPECT_FALSE(departments.contains(settings::MissingEntry()));
    for (int i = 0; i < departments.size(); ++i) EXPECT_FALSE(settings::PositionsOf(i).isEmpty());
    EXPECT_EQ(settings::TargetGroups().size(), 4);
}

}  // namespace

namespace {

// Whatever the user's umask, what the program creates gives others no access, while a
// printed paper, the user's own document, keeps the mode his umask gives it.
TEST(FileModes, NothingTheProgramCreatesIsOpenToOthers) {
    const mode_t userUmask = umask(0);
    filemodes::KeepFromOthers();
    QTemporaryDir temporary;
    const QString folder = temporary.filePath("data");
    QString error;
    ASSERT_TRUE(CreateDataFolder(folder, QDateTime::currentDateTime(), &error))
        << error.toStdString();
    const auto others = QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    int checked = 0;
    for (QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext(); ++checked) {
        const QString path = it.next();
        EXPECT_EQ(QFile::permissions(path) & others, 0) << path.toStdString();
    }
    EXPECT_GT(checked, 6);
    const QString paper = temporary.filePath("paper.docx");
    QFile(paper).open(QIODevice::WriteOnly);
    filemodes::FollowUserUmask(paper);
    EXPECT_TRUE(QFile::permissions(paper) & QFile::WriteOther);
    umask(userUmask);
}

}  // namespace
