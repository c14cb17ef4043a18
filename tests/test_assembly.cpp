#include <QSet>
#include <algorithm>
#include <numeric>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"
#include "rules/assembly.h"
#include "testutil.h"

namespace {

using assembly::Outcome;

TEST(RuleText, ReadsPointsAndItemsInWritingOrder) {
    const auto rules = assembly::ParseSection("每题1.5分。甲:简单=3,中等=12,;乙:困难=1,;");
    ASSERT_TRUE(rules);
    EXPECT_DOUBLE_EQ(rules->points, 1.5);
    ASSERT_EQ(rules->items.size(), 3);
    const QStringList read = {rules->items[0].group + rules->items[0].difficulty,
                              rules->items[1].group + rules->items[1].difficulty,
                              rules->items[2].group + rules->items[2].difficulty};
    EXPECT_EQ(read, QStringList({"甲简单", "甲中等", "乙困难"}));
    EXPECT_EQ(rules->items[1].count, 12);

    for (const QString& empty : {QString(), QStringLiteral("空")}) {
        const auto none = assembly::ParseSection(empty);
        ASSERT_TRUE(none);
        EXPECT_TRUE(none->items.isEmpty());
    }
}

TEST(RuleText, RefusesTextsThatBreakTheGrammar) {
    for (const char* broken : {
             "每题2.0分甲:简单=3,;",                         // no "。"
             "每题2.0分。甲:简单=3,",                        // segment without ";"
             "每题2.0分。甲:简单=3,;乙:中等=1,",             // last segment without ";"
             "每题2.0分。甲:简单=x,;",                       // count not a number
             "每题2.0分。甲:简单=,;",                        // no count
             "每题2.0分。甲:简单=0,;",                       // nothing to draw
             "每题2.0分。甲简单=3,;",                        // no ":"
             "每题2.0分。甲:简单=3;",                        // item without ","
             "每题2.0分。甲:;",                              // group without items
             "每题2.0分。甲:简单=1,中等=1,困难=1,简单=1,;",  // four items
             "每题两分。甲:简单=3,;",                        // points not a number
             "2.0分。甲:简单=3,;",                           // no "每题"
             "每题2.0分。",                                  // no group at all
         }) {
        EXPECT_FALSE(assembly::ParseSection(QString::fromUtf8(broken))) << broken;
    }
}

TEST(RandomIndexes, DistinctAndEveryPositionEquallyLikely) {
    assembly::MersenneRandom random;
    constexpr int kRuns = 40000, kPool = 10, kDrawn = 4;
    std::vector<int> chosen(kPool, 0), chosenFirst(kPool, 0);
    for (int run = 0; run < kRuns; ++run) {
        const auto indexes = assembly::RandomIndexes(kPool, kDrawn, random);
        ASSERT_EQ(indexes.size(), std::size_t(kDrawn));
        QSet<qint64> distinct;
        for (qint64 i : indexes) {
            ASSERT_TRUE(i >= 0 && i < kPool);
            distinct.insert(i);
            ++chosen[i];
        }
        ASSERT_EQ(distinct.size(), kDrawn);
        ++chosenFirst[indexes[0]];
    }
    // Expected 16000 and 4000; the tolerances are more than five standard deviations.
    for (int p = 0; p < kPool; ++p) {
        EXPECT_NEAR(chosen[p], kRuns * kDrawn / kPool, 640) << p;
        EXPECT_NEAR(chosenFirst[p], kRuns / kPool, 320) << p;
    }
}

TEST(RandomIndexes, ReachesEveryRowOfLargePools) {
    assembly::MersenneRandom random;
    constexpr qint64 kWhole = 100000;
    auto all = assembly::RandomIndexes(kWhole, kWhole, random);
    std::sort(all.begin(), all.end());
    std::vector<qint64> expected(kWhole);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(all, expected);

    constexpr qint64 kHuge = 5000000;
    const auto few = assembly::RandomIndexes(kHuge, 2000, random);
    EXPECT_EQ(QSet<qint64>(few.begin(), few.end()).size(), 2000);
    EXPECT_GT(*std::max_element(few.begin(), few.end()), 32768);
    const double mean = std::accumulate(few.begin(), few.end(), 0.0) / double(few.size());
    EXPECT_NEAR(mean, kHuge / 2.0, kHuge / 10.0);

    EXPECT_EQ(assembly::RandomIndexes(3, 5, random).size(), 3u);
    EXPECT_TRUE(assembly::RandomIndexes(0, 2, random).empty());
}

// A source that always takes the first remaining position: the draw keeps row order.
class FirstPosition : public assembly::RandomSource {
public:
    std::uint64_t Below(std::uint64_t) override { return 0; }
};

struct ExamRow {
    int number;
    QString type, subject, text, points;
    bool answered;
};

class Assembly : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        FreshScratchTables();
    }

    static void FreshScratchTables() {
        CADOConn conn;
        schema::RecreateScratchTable(conn, schema::kPersonnelFile, schema::kCreateInterim,
                                     schema::kDropInterim);
        schema::RecreateScratchTable(conn, schema::kPersonnelFile, schema::kCreateExam,
                                     schema::kDropExam);
    }

    // Stores a paper with a valid code; rules are given per type, "空" where missing.
    static void AddPaper(const QString& name, const QString& subject, const QString& mode,
                         const QMap<QString, QString>& rules) {
        codes::PaperColumns paper;
        paper.name = name;
        paper.subject = subject;
        paper.single = rules.value("单选题", "空");
        paper.judge = rules.value("判断题", "空");
        paper.fill = rules.value("填空题", "空");
        paper.multiple = rules.value("多选题", "空");
        paper.essay = rules.value("问答题", "空");
        paper.created = QStringLiteral("2026/12/01 09:00:00");
        CADOConn conn;
        auto rs = conn.OpenRecordset("select * from exampaper", schema::kQuestionsFile);
        rs->AddNew();
        rs->PutCollect("名称", name);
        rs->PutCollect("科目", subject);
        for (const QString& type : schema::QuestionTypes())
            rs->PutCollect(type, rules.value(type, "空"));
        rs->PutCollect("创建时间", paper.created);
        rs->PutCollect("科目选项", mode);
        rs->PutCollect("保存码", codes::PaperCode(paper));
        rs->Update();
    }

    static void AddQuestion(const QString& type, const QString& subject, const QString& group,
                            const QString& difficulty, const QString& text, const QString& answer) {
        CADOConn conn;
        auto rs = conn.OpenRecordset("select * from " + type, schema::kQuestionsFile);
        rs->AddNew();
        rs->PutCollect("科目", subject);
        rs->PutCollect("题型", type);
        rs->PutCollect("题干", text);
        rs->PutCollect("答案", answer);
        rs->PutCollect("难度", difficulty);
        rs->PutCollect("对象", group);
        rs->Update();
    }

    static std::vector<ExamRow> ExamRows() {
        CADOConn conn;
        auto rs = conn.OpenRecordset("select * from exam order by 编号", schema::kPersonnelFile);
        std::vector<ExamRow> rows;
        for (; !rs->IsEOF(); rs->MoveNext())
            rows.push_back({rs->GetCollect("编号").toInt(), rs->GetText("题型"),
                            rs->GetText("科目"), rs->GetText("题干"), rs->GetText("分值"),
                            !rs->IsNull("答题")});
        return rows;
    }

    static long Rows(const QString& table) {
        CADOConn conn;
        return conn.OpenRecordset("select * from " + table, schema::kPersonnelFile)->RecordCount();
    }

    // The bank's reference answer of the question with this text.
    static QString BankAnswer(const QString& type, const QString& text) {
        CADOConn conn;
        auto rs = conn.OpenRecordset("select * from " + type + " where 题干=?",
                                     schema::kQuestionsFile, {text});
        return rs->GetText("答案");
    }

    static QStringList Types(const std::vector<ExamRow>& rows) {
        QStringList types;
        for (const ExamRow& row : rows) types << row.type;
        return types;
    }

    assembly::MersenneRandom random{20261209};
};

TEST_F(Assembly, SampleSingleSubjectPaperNumbersTypesInOrderWithAKeyRowForRow) {
    const auto result = assembly::AssemblePaper("单科", "安全生产基础测试", random);
    ASSERT_EQ(result.outcome, Outcome::Assembled);
    const auto rows = ExamRows();
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(Types(rows),
              QStringList({"单选题", "单选题", "单选题", "单选题", "判断题", "判断题", "判断题",
                           "填空题", "填空题", "多选题", "多选题", "问答题"}));
    const QStringList key = result.answerKey.split('|');
    ASSERT_EQ(key.size(), 13) << "one | per question";
    EXPECT_TRUE(key.last().isEmpty());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].number, int(i) + 1);
        EXPECT_EQ(rows[i].subject, "安全生产");
        EXPECT_FALSE(rows[i].answered);
        EXPECT_EQ(key[int(i)], BankAnswer(rows[i].type, rows[i].text)) << i;
    }
    EXPECT_EQ(rows[0].points, "2");
    EXPECT_EQ(rows[4].points, "1");
    EXPECT_EQ(rows[11].points, "10");
    EXPECT_EQ(Rows("interim"), 12) << "the pool keeps what was drawn";

    // 判断题 简单=3 asks for all three matching bank rows.
    QSet<QString> judged;
    for (const ExamRow& row : rows)
        if (row.type == "判断题") judged.insert(row.text);
    EXPECT_EQ(judged,
              QSet<QString>({"电气设备着火时可以直接用水扑救。", "安全出口和疏散通道必须保持畅通。",
                             "新员工上岗前必须接受三级安全教育。"}));
}

TEST_F(Assembly, PaperWithoutSingleChoiceNumbersFromOne) {
    AddPaper(
        "判断问答", "安全生产", "单科",
        {{"判断题", "每题1.0分。一线员工:简单=2,;"}, {"问答题", "每题5.5分。一线员工:困难=1,;"}});
    const auto result = assembly::AssemblePaper("单科", "判断问答", random);
    ASSERT_EQ(result.outcome, Outcome::Assembled);
    const auto rows = ExamRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(Types(rows), QStringList({"判断题", "判断题", "问答题"}));
    EXPECT_EQ(rows[0].number, 1);
    EXPECT_EQ(rows[2].number, 3);
    EXPECT_EQ(rows[2].points, "5.5");
    EXPECT_EQ(result.answerKey.count('|'), 3);
}

TEST_F(Assembly, AllSubjectsPaperDrawsFromEverySubjectWhereASingleSubjectOneIsShort) {
    AddQuestion("单选题", "规章制度", "一线员工", "简单", "上班时间是几点", "A");
    const QMap<QString, QString> rules = {{"单选题", "每题2.0分。一线员工:简单=4,;"}};
    AddPaper("全科四题", "无", "全科", rules);
    AddPaper("单科四题", "安全生产", "单科", rules);

    ASSERT_EQ(assembly::AssemblePaper("全科", "全科四题", random).outcome, Outcome::Assembled);
    QSet<QString> subjects;
    for (const ExamRow& row : ExamRows()) subjects.insert(row.subject);
    EXPECT_EQ(subjects, QSet<QString>({"安全生产", "规章制度"}));

    FreshScratchTables();
    const auto shortage = assembly::AssemblePaper("单科", "单科四题", random);
    EXPECT_EQ(shortage.outcome, Outcome::BankTooSmall);
    EXPECT_EQ(assembly::OutcomeMessage(shortage), "题库中“单选题”数量不符合考卷要求，退出程序！");
    EXPECT_EQ(Rows("interim"), 0) << "a failed draw leaves nothing behind";
    EXPECT_EQ(Rows("exam"), 0);
}

TEST_F(Assembly, MultiSubjectPaperDrawsFromEveryTestpaperRow) {
    const auto result = assembly::AssemblePaper("多科", "安全与制度综合测试", random);
    ASSERT_EQ(result.outcome, Outcome::Assembled);
    const auto rows = ExamRows();
    ASSERT_EQ(rows.size(), 10u);
    QMap<QString, int> perSubject;
    for (const ExamRow& row : rows) ++perSubject[row.subject];
    EXPECT_EQ(perSubject.value("安全生产"), 6);
    EXPECT_EQ(perSubject.value("规章制度"), 4);
    EXPECT_EQ(Types(rows).mid(0, 3), QStringList({"单选题", "单选题", "单选题"}));
    EXPECT_EQ(result.answerKey.count('|'), 10);
}

TEST_F(Assembly, SampleAllSubjectsPaperIsSatisfied) {
    const auto result = assembly::AssemblePaper("全科", "全员综合测试", random);
    ASSERT_EQ(result.outcome, Outcome::Assembled);
    EXPECT_EQ(ExamRows().size(), 10u);
}

TEST_F(Assembly, MissingOrBrokenRulesDrawNothing) {
    EXPECT_EQ(assembly::AssemblePaper("多科", "安全生产基础测试", random).outcome,
              Outcome::NoRules);
    EXPECT_EQ(assembly::OutcomeMessage({Outcome::NoRules, {}, {}}), "还没有组卷，无法考试！");

    AddPaper(
        "坏规则", "安全生产", "单科",
        {{"单选题", "每题2.0分。一线员工:简单=1,;"}, {"填空题", "每题2.0分。一线员工:简单=1,"}});
    const auto broken = assembly::AssemblePaper("单科", "坏规则", random);
    EXPECT_EQ(broken.outcome, Outcome::BrokenRule);
    EXPECT_EQ(broken.type, "填空题");
    EXPECT_TRUE(assembly::OutcomeMessage(broken).contains("填空题"));
    EXPECT_EQ(Rows("interim"), 0);
    EXPECT_EQ(Rows("exam"), 0);
}

TEST_F(Assembly, LongTextsAreCopiedWhole) {
    const QString text = QString("长").repeated(300) + "？";
    const QString answer = QString("答").repeated(400);
    AddQuestion("问答题", "安全生产", "新入职员工", "困难", text, answer);
    AddPaper("长题", "安全生产", "单科", {{"问答题", "每题10.0分。新入职员工:困难=1,;"}});
    const auto result = assembly::AssemblePaper("单科", "长题", random);
    ASSERT_EQ(result.outcome, Outcome::Assembled);
    ASSERT_EQ(ExamRows().size(), 1u);
    EXPECT_EQ(ExamRows()[0].text, text);
    EXPECT_EQ(result.answerKey, answer + "|");
}

TEST_F(Assembly, PoolKeepsRuleOrderAndCarriesPictureAndOptions) {
    FirstPosition first;
    ASSERT_EQ(assembly::AssemblePaper("单科", "安全生产基础测试", first).outcome,
              Outcome::Assembled);
    CADOConn conn;
    auto pool = conn.OpenRecordset("select * from interim", schema::kPersonnelFile);
    QStringList order;
    for (; !pool->IsEOF(); pool->MoveNext()) order << pool->GetText("难度");
    EXPECT_EQ(order.mid(0, 4), QStringList({"简单", "简单", "简单", "中等"}));
    auto pictured =
        conn.OpenRecordset("select * from exam where 图片 is not null", schema::kPersonnelFile);
    ASSERT_EQ(pictured->RecordCount(), 1);
    EXPECT_TRUE(pictured->GetText("图片").startsWith("单选题"));
    EXPECT_EQ(pictured->GetText("D"), "必须戴安全帽");
    EXPECT_TRUE(pictured->IsNull("E"));
}

}  // namespace
