#include <sqlite3.h>

#include <QSet>
#include <algorithm>
#include <chrono>
#include <future>
#include <numeric>
#include <thread>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "rules/answers.h"
#include "rules/assembly.h"
#include "rules/handin.h"
#include "rules/keptpaper.h"
#include "testutil.h"

namespace {

using assembly::Outcome;

TEST(RuleText, ReadsItemsInWritingOrderAndRefusesBrokenGrammar) {
    const auto rules = assembly::ParseSection("每题1.5分。甲:简单=3,中等=12,;乙:困难=1,;");
    ASSERT_TRUE(rules);
    EXPECT_DOUBLE_EQ(rules->points, 1.5);
    QStringList read;
    for (const auto& item : rules->items)
        read << item.group + item.difficulty + QString::number(item.count);
    EXPECT_EQ(read, QStringList({"甲简单3", "甲中等12", "乙困难1"}));
    const auto essays = assembly::ParseSection("每题10分。甲:简单=2题,中等=2.5,困难= 3 ,;");
    ASSERT_TRUE(essays) << "counts are read by their leading digits";
    EXPECT_EQ(essays->items[0].count, 2);
    EXPECT_EQ(essays->items[1].count, 2);
    EXPECT_EQ(essays->items[2].count, 3);
    EXPECT_TRUE(assembly::ParseSection("空")->items.isEmpty());
    EXPECT_TRUE(assembly::ParseSection("")->items.isEmpty());

    for (const char* broken : {
             "每题2.0分甲:简单=3,;",                         // no "。"
             "每题2.0分。甲:简单=3,;乙:中等=1,",             // segment without ";"
             "每题2.0分。甲:简单=x,;",                       // count not a number
             "每题2.0分。甲:简单=0题,;",                     // count zero
             "每题2.0分。甲简单=3,;",                        // no ":"
             "每题2.0分。甲:简单=1,中等=1,困难=1,简单=1,;",  // four items
             "每题两分。甲:简单=3,;",                        // points not a number
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
        ASSERT_EQ(QSet<qint64>(indexes.begin(), indexes.end()).size(), kDrawn);
        for (qint64 i : indexes) ++chosen.at(i);
        ++chosenFirst.at(indexes[0]);
    }
    // Expected 16000 and 4000; the tolerances are more than five standard deviations.
    for (int p = 0; p < kPool; ++p) {
        EXPECT_NEAR(chosen[p], kRuns * kDrawn / kPool, 640) << p;
        EXPECT_NEAR(chosenFirst[p], kRuns / kPool, 320) << p;
    }
}

TEST(RandomIndexes, ReachesEveryRowOfLargePools) {
    assembly::MersenneRandom random;
    auto all = assembly::RandomIndexes(100000, 100000, random);
    std::sort(all.begin(), all.end());
    std::vector<qint64> expected(100000);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(all, expected);

    constexpr qint64 kHuge = 5000000;
    const auto few = assembly::RandomIndexes(kHuge, 2000, random);
    EXPECT_EQ(QSet<qint64>(few.begin(), few.end()).size(), 2000);
    const double mean = std::accumulate(few.begin(), few.end(), 0.0) / double(few.size());
    EXPECT_NEAR(mean, kHuge / 2.0, kHuge / 10.0);
}

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

    // A paper with a valid code; the rule texts of the five types in order.
    static void AddPaper(const QString& name, const QString& subject, const QString& mode,
                         const QStringList& rules) {
        const codes::PaperColumns paper{name,     rules[0], rules[1], rules[2], rules[3],
                                        rules[4], subject,  "",       "",       ""};
        CADOConn conn;
        auto rs = conn.OpenRecordset("select * from exampaper", schema::kQuestionsFile);
        rs->AddNew();
        rs->PutCollect("名称", name);
        rs->PutCollect("科目", subject);
        for (int t = 0; t < 5; ++t) rs->PutCollect(qtype::Names()[t], rules[t]);
        rs->PutCollect("科目选项", mode);
        rs->PutCollect("保存码", codes::PaperCode(paper));
        rs->Update();
    }

    static void AddQuestion(const QString& type, const QString& subject, const QString& group,
                            const QString& difficulty, const QString& text, const QString& answer) {
        CADOConn conn;
        conn.ExecuteStatement(
            "insert into " + type + "(科目,题型,题干,答案,难度,对象) values(?,?,?,?,?,?)",
            schema::kQuestionsFile, {subject, type, text, answer, difficulty, group});
    }

    static RecordsetPtr Exam() {
        CADOConn conn;
        return conn.OpenRecordset("select * from exam order by 编号", schema::kPersonnelFile);
    }

    static QStringList Column(const RecordsetPtr& rs, const char* column) {
        QStringList values;
        for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext()) values << rs->GetText(column);
        return values;
    }

    static long Rows(const QString& table) {
        CADOConn conn;
        return conn.OpenRecordset("select * from " + table, schema::kPersonnelFile)->RecordCount();
    }

    assembly::MersenneRandom random{20261209};
};

TEST_F(Assembly, SampleSingleSubjectPaperNumbersTypesInOrderWithAKeyRowForRow) {
    const auto result = assembly::AssemblePaper("单科", "安全生产基础测试", random);
    ASSERT_EQ(result.outcome, Outcome::Assembled);
    const RecordsetPtr exam = Exam();
    EXPECT_EQ(Column(exam, "题型"),
              QStringList({"单选题", "单选题", "单选题", "单选题", "判断题", "判断题", "判断题",
                           "填空题", "填空题", "多选题", "多选题", "问答题"}));
    EXPECT_EQ(Column(exam, "编号"),
              QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}));
    EXPECT_EQ(Column(exam, "分值").mid(3, 2), QStringList({"2", "1"}));
    EXPECT_EQ(Column(exam, "答题").join(""), "") << "nothing answered yet";

    const QStringList key = result.answerKey.split('|');
    ASSERT_EQ(key.size(), 13) << "one | per question";
    CADOConn bank;
    int i = 0;
    for (exam->MoveFirst(); !exam->IsEOF(); exam->MoveNext(), ++i) {
        auto question =
            bank.OpenRecordset("select * from " + exam->GetText("题型") + " where 题干=?",
                               schema::kQuestionsFile, {exam->GetText("题干")});
        EXPECT_EQ(key[i], question->GetText("答案")) << i;
    }
    // 判断题 简单=3 asks for every matching bank row.
    const QStringList judged = Column(exam, "题干").mid(4, 3);
    EXPECT_EQ(QSet<QString>(judged.begin(), judged.end()),
              QSet<QString>({"电气设备着火时可以直接用水扑救。", "安全出口和疏散通道必须保持畅通。",
                             "新员工上岗前必须接受三级安全教育。"}));
}

TEST_F(Assembly, PaperWithoutSingleChoiceNumbersFromOne) {
    AddPaper("判断问答", "安全生产", "单科",
             {"空", "每题1.0分。一线员工:简单=2,;", "空", "空", "每题5.5分。一线员工:困难=1,;"});
    const auto result = assembly::AssemblePaper("单科", "判断问答", random);
    ASSERT_EQ(result.outcome, Outcome::Assembled);
    const RecordsetPtr exam = Exam();
    EXPECT_EQ(Column(exam, "题型"), QStringList({"判断题", "判断题", "问答题"}));
    EXPECT_EQ(Column(exam, "编号"), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Column(exam, "分值").last(), "5.5");
    EXPECT_EQ(result.answerKey.count('|'), 3);
}

TEST_F(Assembly, AllSubjectsPaperDrawsFromEverySubjectWhereASingleSubjectOneIsShort) {
    AddQuestion("单选题", "规章制度", "一线员工", "简单", "上班时间是几点", "A");
    const QStringList rules = {"每题2.0分。一线员工:简单=4,;", "空", "空", "空", "空"};
    AddPaper("全科四题", "无", "全科", rules);
    AddPaper("单科四题", "安全生产", "单科", rules);

    ASSERT_EQ(assembly::AssemblePaper("全科", "全科四题", random).outcome, Outcome::Assembled);
    const QStringList subjects = Column(Exam(), "科目");
    EXPECT_EQ(QSet<QString>(subjects.begin(), subjects.end()),
              QSet<QString>({"安全生产", "规章制度"}));

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
    const QStringList subjects = Column(Exam(), "科目");
    EXPECT_EQ(subjects.count("安全生产"), 6);
    EXPECT_EQ(subjects.count("规章制度"), 4);
    EXPECT_EQ(result.answerKey.count('|'), 10);

    FreshScratchTables();
    EXPECT_EQ(assembly::AssemblePaper("全科", "全员综合测试", random).outcome, Outcome::Assembled);
}

TEST_F(Assembly, MissingOrBrokenRulesDrawNothing) {
    const auto none = assembly::AssemblePaper("多科", "安全生产基础测试", random);
    EXPECT_EQ(assembly::OutcomeMessage(none), "还没有组卷，无法考试！");

    AddPaper("坏规则", "安全生产", "单科",
             {"每题2.0分。一线员工:简单=1,;", "空", "每题2.0分。一线员工:简单=1,", "空", "空"});
    const auto broken = assembly::AssemblePaper("单科", "坏规则", random);
    EXPECT_EQ(broken.outcome, Outcome::BrokenRule);
    EXPECT_EQ(broken.type, "填空题");
    EXPECT_EQ(Rows("interim"), 0);
}

TEST_F(Assembly, LongTextsAreCopiedWhole) {
    const QString text = QString("长").repeated(300), answer = QString("答").repeated(400);
    AddQuestion("问答题", "安全生产", "新入职员工", "困难", text, answer);
    AddPaper("长题", "安全生产", "单科",
             {"空", "空", "空", "空", "每题10.0分。新入职员工:困难=1,;"});
    const auto result = assembly::AssemblePaper("单科", "长题", random);
    ASSERT_EQ(result.outcome, Outcome::Assembled);
    EXPECT_EQ(Column(Exam(), "题干"), QStringList({text}));
    EXPECT_EQ(result.answerKey, answer + "|");
}

// What a station needs after losing its session: the paper put back with the answers given
// so far, and a hand-in that reached the server told apart from one that did not.
TEST_F(Assembly, AKeptPaperComesBackWithItsAnswersAndAStoredHandInIsRecognised) {
    const auto drawn = assembly::AssemblePaper("单科", "安全生产基础测试", random);
    ASSERT_EQ(drawn.outcome, Outcome::Assembled);
    auto contents = [] {
        QStringList rows;
        for (const RecordsetPtr exam = Exam(); !exam->IsEOF(); exam->MoveNext()) {
            QStringList row;
            for (const QString& column : exam->Columns())
                row << (exam->IsNull(column) ? "NULL" : exam->GetText(column));
            rows << row.join('|');
        }
        return rows;
    };
    KeptPaper paper;
    ASSERT_TRUE(paper.Load());
    EXPECT_EQ(paper.Type(5), QStringLiteral("判断题"));
    EXPECT_EQ(paper.Type(13), "") << "no such question";
    paper.SetAnswer(1, "B");
    paper.SetAnswer(12, QStringLiteral("第一行\r\n第二行"));
    CADOConn conn;
    conn.ExecuteStatement("update exam set 答题='B' where 编号=1", schema::kPersonnelFile);
    conn.ExecuteStatement("update exam set 答题=? where 编号=12", schema::kPersonnelFile,
                          {QStringLiteral("第一行\r\n第二行")});
    const QStringList before = contents();
    conn.ExecuteStatement(schema::kDropExam, schema::kPersonnelFile);
    QString error;
    ASSERT_TRUE(paper.Restore(&error)) << error.toStdString();
    EXPECT_EQ(contents(), before);

    const RecordsetPtr registration =
        conn.OpenRecordset("select * from ExamRegister where 成绩 is null", schema::kPersonnelFile);
    const ExamTicket ticket{drawn.answerKey, QStringLiteral("安全生产月度考试"), "60",
                            registration->GetText("ID"), registration->GetText("合格分数").toInt()};
    EXPECT_FALSE(handin::AlreadyStored(ticket, Now()));
    const auto stored = handin::Store(ticket, answers::SplitAnswerKey(drawn.answerKey), 600, Now());
    ASSERT_TRUE(stored);
    const auto found = handin::AlreadyStored(ticket, Now());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->score, stored->score);
    EXPECT_EQ(found->hasEssays, stored->hasEssays);
    EXPECT_FALSE(handin::AlreadyStored(ticket, Now().addSecs(1))) << "another hand-in's time";
}

// A rule matching tens of thousands of rows: its keys are guessed, not listed.
class LargeBankDraw : public Assembly {
protected:
    void SetUp() override {
        Assembly::SetUp();
        // 63,000 rows, one in three 简单, so guesses hit a third of the time.
        CADOConn conn;
        conn.OpenDatabase(schema::kQuestionsFile);
        CTransaction transaction(conn);
        conn.ExecuteStatement(
            "insert into 单选题(科目,题型,题干,答案,难度,对象) "
            "with recursive n(x) as (select 1 union all select x+1 from n where x<63000) "
            "select '安全生产','单选题','大题'||x,'A',"
            "case x%3 when 0 then '简单' when 1 then '中等' else '困难' end,'一线员工' from n",
            schema::kQuestionsFile, {});
        transaction.Commit();
    }

    // The drawn rows' 题干, each row's 科目, 对象 and 难度 joined behind it.
    static QStringList Draw(int count, assembly::RandomSource& random) {
        CADOConn bank, personnel;
        personnel.OpenDatabase(schema::kPersonnelFile);
        CTransaction transaction(personnel);
        const RecordsetPtr pool =
            personnel.OpenRecordset("select * from interim", schema::kPersonnelFile);
        EXPECT_TRUE(assembly::DrawRule(bank, *pool, "单选题", "安全生产",
                                       {"一线员工", "简单", count}, 1.0, random));
        transaction.Commit();
        QStringList drawn;
        personnel.ForEachRow(
            "select 题干, 科目||对象||难度 as rule from interim", schema::kPersonnelFile, {},
            [&](const CRowReader& row) { drawn << row.Text("题干") + " " + row.Text("rule"); });
        return drawn;
    }
};

TEST_F(LargeBankDraw, GuessedKeysAreDistinctAndMatchTheRule) {
    const QStringList drawn = Draw(300, random);
    ASSERT_EQ(drawn.size(), 300);
    EXPECT_EQ(QSet<QString>(drawn.begin(), drawn.end()).size(), 300);
    for (const QString& row : drawn)
        EXPECT_TRUE(row.endsWith(" 安全生产一线员工简单")) << row.toStdString();
}

// Guesses that never find a new row give way to the listed keys.
TEST_F(LargeBankDraw, GuessesThatRunOutFallBackToTheListedKeys) {
    struct AlwaysFirst : assembly::RandomSource {
        std::uint64_t Below(std::uint64_t) override { return 0; }
    } first;
    CADOConn bank;
    QStringList firstMatching;
    bank.ForEachRow(
        "select 题干||' 安全生产一线员工简单' as row from 单选题 where 科目='安全生产' "
        "and 对象='一线员工' and 难度='简单' order by ID limit 3",
        schema::kQuestionsFile, {},
        [&](const CRowReader& row) { firstMatching << row.Text("row"); });
    EXPECT_EQ(Draw(3, first), firstMatching);
}

// Keys are looked up in lists of a few fixed lengths; draws around their bounds.
TEST_F(LargeBankDraw, EachDrawnRowIsTheBankRowOfItsKey) {
    for (const int count : {1, 16, 17, 513}) {
        FreshScratchTables();
        const QStringList drawn = Draw(count, random);
        EXPECT_EQ(QSet<QString>(drawn.begin(), drawn.end()).size(), count);
        CADOConn personnel, bank;
        personnel.ForEachRow(
            "select 题目编号, 题干 from interim", schema::kPersonnelFile, {},
            [&](const CRowReader& row) {
                const QVariantList keyAndStem = {row.Integer("题目编号"), row.Text("题干")};
                const QString sameRow = QStringLiteral("单选题 where ID=? and 题干=?");
                EXPECT_EQ(bank.CountRows(sameRow, schema::kQuestionsFile, keyAndStem), 1) << count;
            });
    }
}

// One lookup may hit more rows than the draw still needs: the first new hits in the order
// guessed are kept, whatever order the rows come back in.
TEST_F(LargeBankDraw, KeepsTheFirstNewHitsInTheOrderGuessed) {
    struct Scripted : assembly::RandomSource {
        std::vector<qint64> offsets;
        size_t next = 0;
        std::uint64_t Below(std::uint64_t) override { return offsets[next++ % offsets.size()]; }
    } scripted;
    CADOConn bank;
    auto offsetOf = [&bank](const char* stem) {
        qint64 offset = 0;
        bank.ForEachRow("select (select ID from 单选题 where 题干=?) - min(ID) as o from 单选题",
                        schema::kQuestionsFile, {QString::fromUtf8(stem)},
                        [&](const CRowReader& row) { offset = row.Integer("o"); });
        return offset;
    };
    // 大题1 is 中等; the others are 简单.
    scripted.offsets = {offsetOf("大题9"), offsetOf("大题1"), offsetOf("大题9"), offsetOf("大题3"),
                        offsetOf("大题6")};
    EXPECT_EQ(Draw(2, scripted),
              QStringList({"大题9 安全生产一线员工简单", "大题3 安全生产一线员工简单"}));
}

// A few matching rows in a large table are listed once the guesses find them rare; a count
// beyond the table's keys is refused without guessing.
TEST_F(LargeBankDraw, DrawsWhatTheRuleMatchesAndNoMore) {
    for (int i = 1; i <= 3; ++i)
        AddQuestion("单选题", "消防", "一线员工", "简单", QString("消防%1").arg(i), "A");
    const struct {
        const char* subject;
        int count;
        bool drawn;
    } cases[] = {{"消防", 3, true}, {"消防", 4, false}, {"安全生产", 999999999, false}};
    CADOConn bank, personnel;
    const RecordsetPtr pool =
        personnel.OpenRecordset("select * from interim", schema::kPersonnelFile);
    for (const auto& c : cases)
        EXPECT_EQ(assembly::DrawRule(bank, *pool, "单选题", QString::fromUtf8(c.subject),
                                     {"一线员工", "简单", c.count}, 1.0, random),
                  c.drawn)
            << c.count;
}

// Another program's write lock on personnel.mdb, held past the program's 5-second wait
// for its transaction and freed before the wait of a write that would follow it ends.
class BusyPersonnelFile {
public:
    BusyPersonnelFile() {
        std::promise<void> locked;
        std::future<void> ready = locked.get_future();
        m_holder = std::thread([&locked] {
            sqlite3* db = nullptr;
            sqlite3_open("personnel.mdb", &db);
            sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            locked.set_value();
            std::this_thread::sleep_for(std::chrono::milliseconds(7500));
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        });
        ready.wait();
    }
    ~BusyPersonnelFile() { m_holder.join(); }

private:
    std::thread m_holder;
};

TEST_F(Assembly, ABusyDataFileGetsNoDrawnRowsOutsideATransaction) {
    {
        BusyPersonnelFile busy;
        EXPECT_THROW(assembly::AssemblePaper("单科", "安全生产基础测试", random), DatabaseError);
    }
    EXPECT_EQ(Rows("interim"), 0);
    EXPECT_EQ(Rows("exam"), 0);
}

TEST_F(Assembly, ABusyDataFileGetsNoHandInResultOutsideATransaction) {
    CADOConn conn;
    const QString id =
        conn.OpenRecordset("select * from ExamRegister where 成绩 is null", schema::kPersonnelFile)
            ->GetText("ID");
    conn.CloseDatabase();
    const ExamTicket ticket{"", QStringLiteral("安全生产月度考试"), "60", id, 60};
    {
        BusyPersonnelFile busy;
        QString error;
        EXPECT_FALSE(handin::Store(ticket, {}, 600, Now(), &error));
    }
    EXPECT_TRUE(
        conn.OpenRecordset("select * from ExamRegister where ID=?", schema::kPersonnelFile, {id})
            ->IsNull("成绩"));
}

}  // namespace
