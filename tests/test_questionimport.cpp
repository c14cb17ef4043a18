#include <QDir>
#include <QFile>

#include "data/adoconn.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "data/workbook.h"
#include "rules/bankclearing.h"
#include "rules/names.h"
#include "rules/questionbank.h"
#include "rules/questionimport.h"
#include "testutil.h"

namespace {

using QuestionBankTest = DataFolderTest;
using question_import::PlanImport;

QString Fixture(const char* name) {
    return QStringLiteral(VEMO_TEST_DATA "/") + QString::fromUtf8(name);
}

Worksheet Sheet(const QStringList& header, const std::vector<QStringList>& rows) {
    Worksheet sheet;
    sheet.header = header;
    int number = 0;
    for (const QStringList& cells : rows) {
        WorksheetRow row;
        row.number = ++number;
        for (int c = 0; c < cells.size(); ++c)
            if (!cells[c].isEmpty()) row.cells.insert(c, cells[c]);
        sheet.rows.push_back(row);
    }
    return sheet;
}

const QStringList kChoiceTitles = {"科目", "题型", "题干", "答案", "A",   "B",
                                   "C",    "D",    "E",    "难度", "对象"};

long Count(const QString& sql) {
    CADOConn conn;
    return conn.OpenRecordset(sql, schema::kQuestionsFile)->RecordCount();
}

// The column v of the first row.
qlonglong Number(const QString& sql) {
    CADOConn conn;
    return conn.OpenRecordset(sql, schema::kQuestionsFile)->GetCollect("v").toLongLong();
}

void Execute(const QString& sql) {
    CADOConn conn;
    conn.ExecuteStatement(sql, schema::kQuestionsFile);
}

TEST_F(QuestionBankTest, EveryTypeWantsExactlyItsTitles) {
    for (const QString& type : qtype::Names()) {
        const QStringList titles = question_import::TitlesOf(type);
        const QString refusal = "Excel" + type + "表没有按照模板要求输入，导入失败！";
        const std::vector<QStringList> row = {titles};  // a complete row, whatever it says
        EXPECT_TRUE(PlanImport(Sheet(titles, row), type).refusal.isEmpty()) << type.toStdString();
        EXPECT_EQ(PlanImport(Sheet(titles.mid(0, titles.size() - 1), row), type).refusal, refusal);
        EXPECT_EQ(PlanImport(Sheet(titles + QStringList{""}, row), type).refusal, refusal);
    }
}

TEST_F(QuestionBankTest, OnlyCompleteRowsAreKeptWithoutBlanksInTheirAnswers) {
    const auto plan = PlanImport(
        Sheet(kChoiceTitles,
              {{"安全", "多选题", "题", "A B ", "甲", "", "丙", "", "", "简单", "一线员工"},
               {"安全", "多选题", "缺对象", "A", "甲", "乙", "", "", "", "简单", ""},
               {},
               {"安全", "", "缺题型", "A", "", "", "", "", "", "简单", "x"}}),
        "多选题");
    ASSERT_EQ(plan.rows.size(), 1u);
    EXPECT_EQ(plan.rows[0].answer, "AB");
    EXPECT_EQ(plan.rows[0].options, QStringList({"甲", QString(), "丙", QString(), QString()}));
    EXPECT_TRUE(plan.rows[0].options[1].isNull());
    EXPECT_EQ(plan.rows[0].group, "一线员工");

    EXPECT_EQ(PlanImport(Sheet(kChoiceTitles, {{}}), "多选题").refusal, "导入表格无数据！");
}

TEST_F(QuestionBankTest, ABarInAnOptionOrAnAnswerRefusesTheSheetNamingTheRow) {
    const struct {
        QStringList row;  // imported as its 题型
        QString refusal;
    } cases[] = {
        {{"安全", "判断题", "题", "A", "对|", "错", "简单", "x"},
         "第3行：题目答案选项中不能含有'|'！"},
        {{"安全", "判断题", "题", "A|B", "对", "错", "简单", "x"},
         "第3行：题目答案中不能含有'|'！"},
        {{"安全", "问答题", "题", "先 | 后", "简单", "x"}, "第3行：题目答案中不能含有'|'！"},
        {{"安全", "判断题", "题", "A", "对", "错|", "简单", ""}, ""},  // incomplete: skipped
        {{"安全", "判断题", "题", "A", "对", "错", "简单", "x:y"}, "第3行：对象中不能含有':'！"},
        {{"安全>", "判断题", "题", "A", "对", "错", "简单", "x"}, "第3行：科目中不能含有'>'！"},
    };
    for (const auto& c : cases) {
        // The title row repeated is a complete question without a bar.
        const QStringList titles = question_import::TitlesOf(c.row[1]);
        const auto plan = PlanImport(Sheet(titles, {titles, c.row}), c.row[1]);
        EXPECT_EQ(plan.refusal, c.refusal) << c.row.join(',').toStdString();
        EXPECT_EQ(plan.rows.size(), c.refusal.isEmpty() ? 1u : 0u);
    }
}

// Each kind of name refuses the separators of where it is stored, control characters
// anywhere, and settings names beyond the bytes the settings reader keeps.
TEST(NameRefusal, NamesTheOffendingCharacterOrTheLength) {
    using names::Kind;
    const struct {
        QString name;
        Kind kind;
        QString refusal;
    } cases[] = {
        {"X\n[object]\nname1=HACK", Kind::TargetGroup, "对象中不能含有换行符！"},
        {"A\r", Kind::OrganisationNode, "名称中不能含有换行符！"},
        {"A\tB", Kind::Subject, "科目中不能含有制表符！"},
        {QString("A") + QChar(0x7F), Kind::Subject, "科目中不能含有控制字符(U+007F)！"},
        {"A:B", Kind::TargetGroup, "对象中不能含有':'！"},
        {"A;B", Kind::TargetGroup, "对象中不能含有';'！"},
        {"A,B", Kind::TargetGroup, "对象中不能含有','！"},
        {"A=B", Kind::TargetGroup, "对象中不能含有'='！"},
        {"A>B", Kind::Subject, "科目中不能含有'>'！"},
        {"<B", Kind::Subject, "科目中不能含有'<'！"},
        {"A;B", Kind::OrganisationNode, "名称中不能含有';'！"},
        {"A:B,C=D", Kind::Subject, ""},
        {"A>B<C", Kind::TargetGroup, ""},
        {QString(259, 'X'), Kind::TargetGroup, ""},
        {QString(260, 'X'), Kind::TargetGroup, "对象太长：最多259个字节（一个汉字算2个字节）！"},
        {QString(129, QChar(0x4E00)) + "X", Kind::OrganisationNode, ""},
        {QString(130, QChar(0x4E00)), Kind::OrganisationNode,
         "名称太长：最多259个字节（一个汉字算2个字节）！"},
        {QString(10000, 'X'), Kind::Subject, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(names::Refusal(c.name, c.kind), c.refusal) << c.name.left(20).toStdString();
}

TEST_F(QuestionBankTest, ImportingTwiceRemovesEveryCopyAndKeepsTheOldestRows) {
    QString error;
    const auto workbook = ReadWorkbook(Fixture("questions.xls"), &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    const auto plan = PlanImport(*workbook->Sheet("单选题", &error), "单选题");
    ASSERT_EQ(plan.rows.size(), 3u);
    EXPECT_EQ(plan.rows[1].answer, "C");
    EXPECT_EQ(plan.rows[1].options, QStringList({"220", "110", "36", "380", "12"}));

    Execute("insert into 单选题(科目,题干) values('安全生产','没有题型')");
    const long bank = Count("select * from 单选题");
    const auto first = question_import::StoreQuestions("单选题", plan.rows);
    ASSERT_TRUE(first.stored) << first.error.toStdString();
    EXPECT_EQ(question_import::OutcomeMessage(first), "导入数据3条，已删除2条重复数据！");
    EXPECT_EQ(Count("select * from 单选题"), bank - 1 + 2);
    const qlonglong firstId =
        Number("select min(ID) as v from 单选题 where 题干='安全电压一般不超过多少伏'");

    const auto second = question_import::StoreQuestions("单选题", plan.rows);
    EXPECT_EQ(question_import::OutcomeMessage(second), "导入数据3条，已删除3条重复数据！");
    EXPECT_EQ(Count("select * from 单选题"), bank - 1 + 2);
    EXPECT_EQ(Count(QString("select * from 单选题 where ID=%1 and 图片 is null").arg(firstId)), 1);
}

TEST_F(QuestionBankTest, ADatabaseErrorMidwayStoresNothing) {
    Execute(
        "create trigger refuse before insert on 填空题 when new.题干='坏' "
        "begin select raise(abort,'refused'); end");
    const long bank = Count("select * from 填空题");
    question_import::Question good{"安全", "填空题", "好", "甲", {}, "简单", "x"};
    question_import::Question bad = good;
    bad.stem = "坏";
    const auto outcome = question_import::StoreQuestions("填空题", {good, bad, good});
    EXPECT_FALSE(outcome.stored);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_EQ(Count("select * from 填空题"), bank);
}

// A clearing ended between its commit and the removal of the files left pictures behind:
// the next clearing, even of a bank already empty, removes them and only them.
TEST_F(QuestionBankTest, ClearingRemovesPicturesWhoseQuestionIsGone) {
    ASSERT_TRUE(bank_clearing::ClearBank("问答题").cleared);
    const QString living = "填空题" + QString::number(Number("select min(ID) as v from 填空题"));
    Execute("update 填空题 set 图片='" + living + "' where 图片 is null and ID=" + living.mid(3));
    QDir().mkpath("QuestionMap");
    const struct {
        QString name;
        bool removed;
    } files[] = {{"单选题999999", true}, {"问答题1", true}, {living, false}, {"校徽", false}};
    for (const auto& f : files) QFile(bank::PicturePath(f.name)).open(QIODevice::WriteOnly);
    const auto outcome = bank_clearing::ClearBank("问答题");
    EXPECT_TRUE(outcome.wasEmpty);
    EXPECT_EQ(outcome.picturesDeleted, 2);
    for (const auto& f : files)
        EXPECT_EQ(QFile::exists(bank::PicturePath(f.name)), !f.removed) << f.name.toStdString();
}

TEST_F(QuestionBankTest, AFailedClearingKeepsRowsAndPictures) {
    Execute("update 填空题 set 图片='填空题'||ID");
    Execute("create trigger keep before delete on 填空题 begin select raise(abort,'kept'); end");
    const QString picture =
        bank::PicturePath("填空题" + QString::number(Number("select min(ID) as v from 填空题")));
    QFile file(picture);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const long bank = Count("select * from 填空题");
    const auto outcome = bank_clearing::ClearBank("填空题");
    EXPECT_FALSE(outcome.cleared);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_EQ(Count("select * from 填空题"), bank);
    EXPECT_TRUE(file.exists());
}

}  // namespace
