#include <QFileInfo>

#include "data/adoconn.h"
#include "data/schema.h"
#include "data/workbook.h"
#include "rules/examineeimport.h"
#include "rules/examinees.h"
#include "rules/importworkbook.h"
#include "testutil.h"

namespace {

using ExamineeRulesTest = DataFolderTest;

std::vector<Examinee> People(const std::vector<RegisteredExaminee>& rows) {
    std::vector<Examinee> people;
    for (const RegisteredExaminee& row : rows) people.push_back(row.person);
    return people;
}

Worksheet Sheet(const QStringList& header, const std::vector<QStringList>& rows) {
    Worksheet sheet;
    sheet.name = "Sheet1";
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

const QStringList kHeader = {"姓名", "部门", "职务"};

TEST_F(ExamineeRulesTest, SearchWithoutNameAlwaysFiltersByDepartment) {
    EXPECT_FALSE(examinees::SearchStatement({}));
    const auto byPosition = examinees::SearchStatement({"", "", "操作工"});
    ASSERT_TRUE(byPosition);
    EXPECT_EQ(byPosition->sql, "select * from examinee where 部门=? and 职务=?");
    EXPECT_EQ(byPosition->params, QVariantList({"", "操作工"}));
    EXPECT_TRUE(examinees::Search(*byPosition).empty());

    const auto byDepartment = examinees::SearchStatement({"", "生产部", ""});
    EXPECT_EQ(People(examinees::Search(*byDepartment)),
              std::vector<Examinee>({{"张三", "生产部", "操作工"}, {"李四", "生产部", "班组长"}}));
    const auto byNameAndPosition = examinees::SearchStatement({"王五", "", "工程师"});
    EXPECT_EQ(examinees::Search(*byNameAndPosition).size(), 1u);
    EXPECT_TRUE(examinees::Search(*examinees::SearchStatement({"王五", "生产部", ""})).empty());
}

TEST_F(ExamineeRulesTest, TheDeliveredTemplateHasTheHeaderAndNoRows) {
    QString error;
    const auto workbook = ReadWorkbook("examinee.xls", &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    const Worksheet* sheet = workbook->Sheet(examinee_import::SheetName(), &error);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(examinee_import::PlanImport(*sheet).refusal, "导入表格无数据！");
    EXPECT_TRUE(QFileInfo("examinee.xls").isWritable());
}

TEST(ImportWorkbookName, EitherEndingOfTheBaseNameAndNothingElse) {
    const std::pair<const char*, bool> names[] = {
        {"/home/a/examinee.xls", true}, {"examinee.xlsx", true},    {"Examinee.xls", false},
        {"examinee.xlsm", false},       {"examinee.csv", false},    {"my examinee.xls", false},
        {"examinee.xls.bak", false},    {"/examinee.xls/x", false}, {"examinee", false},
    };
    for (const auto& [name, accepted] : names)
        EXPECT_EQ(import_workbook::IsAcceptedName(name, "examinee"), accepted) << name;
}

TEST_F(ExamineeRulesTest, OnlyTheExactHeaderIsAccepted) {
    const QString refusal = "Excel考生表没有按照模板要求输入，导入失败！";
    const std::vector<QStringList> row = {{"孙八", "生产部", "操作工"}};
    for (const QStringList& header :
         {QStringList{"姓名", "部门", "职务", ""}, QStringList{"姓名", "部门"}, QStringList{}})
        EXPECT_EQ(examinee_import::PlanImport(Sheet(header, row)).refusal, refusal)
            << header.join('|').toStdString();
    EXPECT_TRUE(examinee_import::PlanImport(Sheet(kHeader, row)).refusal.isEmpty());
}

TEST_F(ExamineeRulesTest, OnlyCompleteRowsCountAndASemicolonRefusesTheWholeSheet) {
    const auto plan = examinee_import::PlanImport(Sheet(kHeader, {{"孙八", "生产部", "操作工"},
                                                                  {"吴十", "安全部", ""},
                                                                  {},
                                                                  {"", "a;b", "c"},
                                                                  {"周九", "技术部", "12"}}));
    EXPECT_TRUE(plan.refusal.isEmpty());
    EXPECT_EQ(plan.rows,
              std::vector<Examinee>({{"孙八", "生产部", "操作工"}, {"周九", "技术部", "12"}}));

    EXPECT_EQ(examinee_import::PlanImport(Sheet(kHeader, {{"孙八", "生产部", ""}})).refusal,
              "导入表格无数据！");
    const std::pair<QStringList, QString> semicolons[] = {
        {{"孙;八", "生;产部", "操作工"}, "考生姓名中不能含有';'！"},
        {{"孙八", "生;产部", "操;作工"}, "部门名称中不能含有';'！"},
        {{"孙八", "生产部", "操作工;"}, "职务名称中不能含有';'！"},
    };
    for (const auto& [cells, message] : semicolons) {
        const auto refused =
            examinee_import::PlanImport(Sheet(kHeader, {{"郑十一", "办公室", "主任"}, cells}));
        EXPECT_EQ(refused.refusal, message);
        EXPECT_TRUE(refused.rows.empty());
    }
}

TEST_F(ExamineeRulesTest, StoringRemovesDuplicatesKeepingTheOldestRow) {
    const auto before = examinees::ListAll();
    const std::vector<Examinee> rows = {{"孙八", "生产部", "操作工"},
                                        {"孙八", "生产部", "操作工"},
                                        {"张三", "生产部", "操作工"},
                                        {"张三", "技术部", "操作工"}};
    const auto first = examinee_import::StoreExaminees(rows);
    ASSERT_TRUE(first.stored) << first.error.toStdString();
    EXPECT_EQ(examinee_import::OutcomeMessage(first), "导入数据4条，已删除2条重复数据！");
    const auto after = examinees::ListAll();
    ASSERT_EQ(after.size(), 7u);
    EXPECT_EQ(after[0].id, before[0].id);  // the registered 张三 stays, the new copy goes
}

TEST_F(ExamineeRulesTest, TwinsAlreadyStoredGoTooWithNullEqualToNull) {
    {
        CADOConn conn;
        for (const char* name : {"周九", "周九", "吴十"})
            conn.ExecuteStatement("insert into examinee(姓名,部门) values(?,?)",
                                              schema::kPersonnelFile, {name, "办公室"});
    }
    const size_t before = examinees::ListAll().size();
    const auto outcome = examinee_import::StoreExaminees({{"吴十", "办公室", "文员"}});
    ASSERT_TRUE(outcome.stored);
    EXPECT_EQ(outcome.removed, 1);  // the younger 周九 without a position
    EXPECT_EQ(examinees::ListAll().size(), before);
}

TEST_F(ExamineeRulesTest, AFailedStoreLeavesTheTableAsItWas) {
    {
        CADOConn conn;
        conn.ExecuteStatement("drop table examinee", schema::kPersonnelFile);
        conn.ExecuteStatement("create table examinee(ID INTEGER PRIMARY KEY AUTOINCREMENT,"
                                  "姓名 TEXT CHECK(姓名 <> '坏'),部门 TEXT,职务 TEXT)",
                                  schema::kPersonnelFile);
    }
    ASSERT_EQ(examinees::Add({"张三", "生产部", "操作工"}), examinees::AddOutcome::Added);
    const auto outcome = examinee_import::StoreExaminees(
        {{"孙八", "生产部", "操作工"}, {"坏", "生产部", "操作工"}, {"周九", "技术部", "技术员"}});
    EXPECT_FALSE(outcome.stored);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_EQ(People(examinees::ListAll()), std::vector<Examinee>({{"张三", "生产部", "操作工"}}));
}

}  // namespace
