#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"
#include "rules/assembly.h"
#include "rules/papers.h"
#include "testutil.h"

namespace {

const QString kCrlf = QStringLiteral("\r\n");

TEST(PaperTyping, PointsAreCorrectedAsTyped) {
    const std::pair<const char*, const char*> cases[] = {
        {"1.25", "1.2"}, {"05", "5"},  {".5", ""},      {"0.5", "0.5"}, {"0", "0"},
        {"2.", "2."},    {"12", "12"}, {"0.99", "0.9"}, {"00", "0"},
    };
    for (const auto& [typed, left] : cases)
        EXPECT_EQ(papers::CorrectPoints(typed), QString::fromUtf8(left)) << typed;
    EXPECT_TRUE(papers::IsPointsInput("1.5"));
    EXPECT_FALSE(papers::IsPointsInput("1.5.")) << "a second dot";
    EXPECT_FALSE(papers::IsPointsInput("1a"));
}

TEST(PaperTyping, DrawCountsAreReadAndCheckedAgainstTheAvailableQuestions) {
    EXPECT_EQ(papers::ReadDrawCount("2题"), 2);
    EXPECT_EQ(papers::ReadDrawCount("题"), 0);
    EXPECT_EQ(papers::ReadDrawCount("-3"), -3);
    const std::tuple<int, const char*, const char*> cases[] = {
        {0, "5", "抽取题数不能为0！"},
        {-3, "5", "抽取题数不能为0！"},
        {2, "", "题数不能为空！"},
        {6, "5", "抽取题数不能大于总题数！"},
        {5, "5", ""},
    };
    for (const auto& [count, available, refusal] : cases)
        EXPECT_EQ(papers::DrawCountRefusal(count, available), QString::fromUtf8(refusal)) << count;
    EXPECT_EQ(papers::Subtotal("1.5", "3"), "4.5");
    EXPECT_EQ(papers::Subtotal("", "3"), "");
}

papers::RuleRequest Rule(const char* group, const char* difficulty, const char* count,
                         const char* subject = "语文", const char* mode = "单科") {
    return {QString::fromUtf8(mode),       QString::fromUtf8(subject), QString::fromUtf8(group),
            QString::fromUtf8(difficulty), QStringLiteral("2"),        QString::fromUtf8(count)};
}

TEST(RuleText, GroupsMergePerTargetGroupAndStoreWithoutHeaderOrLineBreaks) {
    QString text;
    for (const auto& request :
         {Rule("甲", "简单", "3"), Rule("甲", "中等", "2"), Rule("乙", "困难", "1")}) {
        const papers::RuleResult added = papers::AddRule(text, request);
        ASSERT_TRUE(added.refusal.isEmpty()) << added.refusal.toStdString();
        text = added.ruleText;
    }
    EXPECT_EQ(text, "<语文>" + kCrlf + "每题2.0分。" + kCrlf + "甲:简单=3,中等=2,;" + kCrlf +
                        "乙:困难=1,;");
    EXPECT_EQ(papers::StoredRule(text), "每题2.0分。甲:简单=3,中等=2,;乙:困难=1,;");
    EXPECT_EQ(papers::StoredRule(""), "空");
    EXPECT_EQ(papers::StoredRule("每题1.0分。\r\n甲>乙:简单=1,;"), "每题1.0分。甲>乙:简单=1,;");

    const auto all = papers::AddRule("", Rule("甲", "简单", "2题", "", "全科"));
    EXPECT_EQ(all.ruleText, "每题2.0分。" + kCrlf + "甲:简单=2,;") << "no header in 全科";
    EXPECT_EQ(all.count, 2);
}

TEST(RuleText, RefusalsLeaveTheTextAsItWas) {
    const QString first = papers::AddRule("", Rule("甲", "简单", "3")).ruleText;
    auto noPoints = Rule("甲", "简单", "3");
    noPoints.points.clear();
    auto zeroPoints = Rule("甲", "简单", "3");
    zeroPoints.points = "0.0";
    const std::tuple<QString, papers::RuleRequest, const char*> cases[] = {
        {"", Rule("", "简单", "3"), "数据不能为空！"},
        {"", Rule("甲", "", "3"), "数据不能为空！"},
        {"", Rule("甲", "简单", ""), "数据不能为空！"},
        {"", Rule("甲", "简单", "3", ""), "数据不能为空！"},
        {"", noPoints, "数据不能为空！"},
        {"", zeroPoints, "分值不能为0！"},
        {first, Rule("乙", "简单", "1", "数学"), "科目选择应该相同！"},
        {first, Rule("甲", "简单", "1"), "一个对象同一难度只能选择一次！"},
    };
    for (const auto& [text, request, refusal] : cases) {
        const papers::RuleResult result = papers::AddRule(text, request);
        EXPECT_EQ(result.refusal, QString::fromUtf8(refusal));
        EXPECT_EQ(result.ruleText, text);
    }
}

TEST(RuleText, GroupsAreFoundByTheirWholeName) {
    // The group 员工 is part of the subject and of the group 一线员工.
    QString text = papers::AddRule("", Rule("一线员工", "简单", "1", "员工守则")).ruleText;
    text = papers::AddRule(text, Rule("员工", "简单", "2", "员工守则")).ruleText;
    text = papers::AddRule(text, Rule("员工", "中等", "3", "员工守则")).ruleText;
    EXPECT_EQ(papers::StoredRule(text), "每题2.0分。一线员工:简单=1,;员工:简单=2,中等=3,;");
}

class PaperStore : public DataFolderTest {
protected:
    static QDateTime Created() { return QDateTime(QDate(2021, 4, 11), QTime(9, 5, 30)); }

    // A section of one rule text with its count and points.
    static papers::SectionState Section(const QString& subject, const QString& groups, int count,
                                        double points, const char* mode = "单科") {
        const QString header = QString::fromUtf8(mode) == papers::kAllSubjects
                                   ? QString()
                                   : "<" + subject + ">" + kCrlf;
        return {header + "每题" + papers::FormatPoints(points) + "分。" + kCrlf + groups, count,
                papers::FormatPoints(points * count)};
    }

    static RecordsetPtr Rows(const char* table, const QString& name) {
        CADOConn conn;
        return conn.OpenRecordset(QString::fromUtf8("select * from ") + table + " where 名称=?",
                                  schema::kQuestionsFile, {name});
    }
    static void StoreSubject(const QString& name, const QString& subject, bool first) {
        papers::Sections sections;
        sections[0] = Section(subject, "一线员工:简单=1,;", 1, 2);
        papers::StorePaper(
            papers::ComposePaper(name, papers::kMultiSubject, subject, sections, Created()), first);
    }
};

TEST_F(PaperStore, SingleSubjectPaperStoresEmptyTypesAndACodeThatRecomputes) {
    papers::Sections sections;
    sections[0] = Section("安全生产", "一线员工:简单=2,中等=1,;", 3, 2);
    const auto record =
        papers::ComposePaper("期中", papers::kSingleSubject, "安全生产", sections, Created());
    papers::StorePaper(record, false);
    EXPECT_TRUE(papers::PaperNameTaken("期中"));
    const RecordsetPtr rs = Rows("exampaper", "期中");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->GetText("单选题"), "每题2.0分。一线员工:简单=2,中等=1,;");
    for (const char* type : {"判断题", "填空题", "多选题", "问答题"})
        EXPECT_EQ(rs->GetText(type), "空") << type;
    EXPECT_EQ(rs->GetText("科目"), "安全生产");
    EXPECT_EQ(rs->GetText("科目选项"), "单科");
    EXPECT_EQ(rs->GetText("总题数"), "3");
    EXPECT_EQ(rs->GetText("满分"), "6.0");
    EXPECT_EQ(rs->GetText("创建时间"), "2021/04/11 09:05:30");
    EXPECT_TRUE(codes::PaperIntact(*rs));

    // What was composed is what the exam draws.
    CADOConn personnel;
    schema::RecreateScratchTable(personnel, schema::kPersonnelFile, schema::kCreateInterim,
                                 schema::kDropInterim);
    schema::RecreateScratchTable(personnel, schema::kPersonnelFile, schema::kCreateExam,
                                 schema::kDropExam);
    assembly::MersenneRandom random(7);
    const auto drawn = assembly::AssemblePaper("单科", "期中", random);
    EXPECT_EQ(drawn.outcome, assembly::Outcome::Assembled);
    EXPECT_EQ(drawn.answerKey.count('|'), 3);
}

TEST_F(PaperStore, AllSubjectsPaperHasNoSubjectAndNoHeader) {
    papers::Sections sections;
    sections[1] = Section("", "管理人员:中等=1,;", 1, 1, "全科");
    const auto record =
        papers::ComposePaper("全科卷", papers::kAllSubjects, "", sections, Created());
    EXPECT_FALSE(papers::HasNoRules(record));
    EXPECT_TRUE(papers::HasNoRules(papers::ComposePaper("空卷", "单科", "x", {}, Created())));
    papers::StorePaper(record, false);
    const RecordsetPtr rs = Rows("exampaper", "全科卷");
    EXPECT_EQ(rs->GetText("科目"), "无");
    EXPECT_EQ(rs->GetText("判断题"), "每题1.0分。管理人员:中等=1,;");
}

TEST_F(PaperStore, MultiSubjectPaperIsSummarisedOverItsSubjects) {
    StoreSubject("O'Brien卷", "安全生产", true);
    StoreSubject("O'Brien卷", "规章制度", false);
    papers::Sections third;
    third[4] = Section("其他", "一线员工:困难=1,;", 1, 10);
    papers::StorePaper(
        papers::ComposePaper("O'Brien卷", papers::kMultiSubject, "其他", third, Created()), false);
    EXPECT_EQ(papers::SavedSubjects("O'Brien卷"), 3);
    EXPECT_TRUE(papers::SubjectComposed("O'Brien卷", "规章制度"));
    EXPECT_FALSE(papers::PaperNameTaken("O'Brien卷")) << "only the summary names the paper";

    const auto summary = papers::CompleteMultiSubject("O'Brien卷", Created());
    const RecordsetPtr rs = Rows("exampaper", "O'Brien卷");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->GetText("单选题"), "单选题包含2个科目");
    EXPECT_EQ(rs->GetText("判断题"), "空");
    EXPECT_EQ(rs->GetText("问答题"), "问答题包含1个科目");
    EXPECT_EQ(rs->GetText("科目"), "不定");
    EXPECT_EQ(rs->GetText("科目选项"), "多科");
    EXPECT_EQ(rs->GetText("总题数"), "3");
    EXPECT_EQ(rs->GetText("满分"), "14.0");
    EXPECT_TRUE(codes::PaperIntact(*rs));
    EXPECT_EQ(summary.columns.total, "3");
    CADOConn personnel;
    schema::RecreateScratchTable(personnel, schema::kPersonnelFile, schema::kCreateInterim,
                                 schema::kDropInterim);
    schema::RecreateScratchTable(personnel, schema::kPersonnelFile, schema::kCreateExam,
                                 schema::kDropExam);
    // The bank gets the questions the two other subjects ask for.
    CADOConn bank;
    for (const auto& [type, subject, difficulty] :
         {std::tuple{"单选题", "规章制度", "简单"}, {"问答题", "其他", "困难"}})
        bank.ExecuteStatement(
            QString::fromUtf8("insert into ") + type +
                "(题型,科目,难度,对象,题干,答案) values(?,?,?,'一线员工','题','A')",
            schema::kQuestionsFile,
            {QString::fromUtf8(type), QString::fromUtf8(subject), QString::fromUtf8(difficulty)});
    assembly::MersenneRandom random(5);
    EXPECT_EQ(assembly::AssemblePaper("多科", "O'Brien卷", random).answerKey.count('|'), 3);

    // Deleting the paper takes its subjects along, and nothing of other papers.
    const qlonglong id = rs->GetCollect("ID").toLongLong();
    EXPECT_EQ(papers::PaperSections(id).first(), "单选题包含2个科目");
    papers::DeletePaper(id);
    EXPECT_EQ(Rows("exampaper", "O'Brien卷")->RecordCount(), 0);
    EXPECT_EQ(papers::SavedSubjects("O'Brien卷"), 0);
    EXPECT_EQ(papers::SavedSubjects("安全与制度综合测试"), 2);
}

TEST_F(PaperStore, LeftOverSubjectsGoAtTheFirstSaveOfANewPaper) {
    StoreSubject("残卷", "安全生产", true);  // never completed
    StoreSubject("残卷", "规章制度", true);
    EXPECT_EQ(papers::SavedSubjects("残卷"), 1);
    // Subjects of a completed paper are no left-overs.
    StoreSubject("安全与制度综合测试", "其他", true);
    EXPECT_EQ(papers::SavedSubjects("安全与制度综合测试"), 3);
    papers::DiscardSubjects("残卷");
    EXPECT_EQ(papers::SavedSubjects("残卷"), 0);
}

TEST_F(PaperStore, ListingFlagsATamperedPaperAndCountsFollowTheBank) {
    auto listed = papers::ListPapers();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_TRUE(listed[0].intact);
    EXPECT_EQ(listed[0].cells[0], "安全生产基础测试");
    CADOConn conn;
    conn.ExecuteStatement("update exampaper set 满分='99.0' where ID=?", schema::kQuestionsFile,
                          {listed[1].id});
    listed = papers::ListPapers();
    EXPECT_TRUE(listed[0].intact);
    EXPECT_FALSE(listed[1].intact);

    EXPECT_EQ(papers::AvailableQuestions("判断题", "单科", "安全生产", "一线员工", "简单"), "3");
    EXPECT_EQ(papers::AvailableQuestions("判断题", "全科", "", "管理人员", "中等"), "1");
    EXPECT_EQ(papers::AvailableQuestions("判断题", "单科", "", "一线员工", "简单"), "");
    EXPECT_EQ(papers::AvailableQuestions("判断题", "单科", "O'x", "一线员工", "简单"), "0");
}

}  // namespace
