#include <QDate>
#include <QHash>

#include "data/adoconn.h"
#include "data/schema.h"
#include "rules/grading.h"
#include "rules/results.h"
#include "rules/scoresheet.h"
#include "scorefixture.h"
#include "testutil.h"

namespace {

const QString kFile = schema::kPersonnelFile;

TEST(ScoreQuery, BuildsTheConditionsOfEveryCombinationOfCriteria) {
    struct Case {
        bool name, exam, department, position;
        results::QueryRefusal refusal;
        const char* conditions;
    };
    using R = results::QueryRefusal;
    const Case cases[] = {
        {true, true, true, true, R::None, "姓名=? and 部门=? and 职务=? and 考试名称=?"},
        {true, true, true, false, R::None, "姓名=? and 部门=? and 考试名称=?"},
        {true, true, false, true, R::None, "姓名=? and 考试名称=?"},
        {true, true, false, false, R::None, "姓名=? and 考试名称=?"},
        {true, false, true, true, R::None, "姓名=? and 部门=? and 职务=?"},
        {true, false, true, false, R::None, "姓名=? and 部门=?"},
        {true, false, false, true, R::None, "姓名=?"},
        {false, true, true, true, R::None, "部门=? and 职务=? and 考试名称=?"},
        {false, true, true, false, R::None, "部门=? and 考试名称=?"},
        {false, true, false, true, R::None, "考试名称=?"},
        {false, false, true, true, R::None, "部门=? and 职务=?"},
        {false, false, true, false, R::None, "部门=?"},
        {false, false, false, true, R::PositionOnly, ""},
        {false, false, false, false, R::AllEmpty, ""},
    };
    for (const Case& c : cases) {
        const results::Criteria criteria{c.name ? "N" : "", c.department ? "D" : "",
                                         c.position ? "P" : "", c.exam ? "E" : ""};
        const results::Query query = results::QueryFor(criteria);
        SCOPED_TRACE(QString::fromUtf8(c.conditions).toStdString());
        EXPECT_EQ(query.refusal, c.refusal);
        if (c.refusal != R::None) continue;
        EXPECT_EQ(query.sql, "select * from ExamRegister where " + QString::fromUtf8(c.conditions) +
                                 " and 成绩 is not null");
        QStringList values;
        for (const QVariant& v : query.params) values << v.toString();
        const QHash<QString, QString> letters = {
            {"姓名", "N"}, {"部门", "D"}, {"职务", "P"}, {"考试名称", "E"}};
        QString expected;
        for (const QString& condition : QString::fromUtf8(c.conditions).split(" and "))
            expected += letters.value(condition.chopped(2));
        EXPECT_EQ(values.join(""), expected);
    }
}

TEST(ScoreQuery, ShowsPassVerdictAndTimeUsed) {
    EXPECT_EQ(results::PassVerdict(false, "60", "60"), "否") << "equal to the pass mark";
    EXPECT_EQ(results::PassVerdict(false, "60", "60.5"), "是");
    EXPECT_EQ(results::PassVerdict(false, "60", "59.5"), "否");
    EXPECT_EQ(results::PassVerdict(false, "59.5", "59.2"), "是") << "pass mark read as integer";
    EXPECT_EQ(results::PassVerdict(true, "60", "100"), "不定");
    EXPECT_EQ(results::TimeUsedText(QVariant()), "");
    EXPECT_EQ(results::TimeUsedText(QString("3725")), "01:02:05");
    EXPECT_EQ(results::TimeUsedText(QString("0")), "00:00:00");
}

class ScoreData : public DataFolderTest {};

TEST_F(ScoreData, RanksByNumericScoreThenNumericTimeUsed) {
    auto store = [](const char* name, const char* score, const char* time) {
        StoredScore s;
        s.name = QString::fromUtf8(name);
        s.score = score;
        s.timeUsed = time;
        StoreScore(s);
    };
    store("甲", "85", "1200");
    store("乙", "90", "300");
    store("丙", "85.5", "300");
    store("丁", "85", "95");
    store("戊", "100", "300");
    StoredScore other;
    other.examName = "另一考试";
    other.score = "99";
    StoreScore(other);
    QStringList order;
    for (const auto& row : results::Run(results::RankingFor("安全生产月度考试")))
        order << row.name + row.score;
    EXPECT_EQ(order, QStringList({"戊100", "乙90", "丙85.5", "丁85", "甲85"}));
}

TEST_F(ScoreData, IntegrityPassFindsTamperedCountersAndScores) {
    EXPECT_EQ(results::CheckIntegrity(), results::Integrity::Intact) << "the sample folder";
    const qlonglong id = StoreScore(StoredScore());
    EXPECT_EQ(results::CheckIntegrity(), results::Integrity::Intact);

    CADOConn conn;
    conn.ExecuteStatement("update JoinExam set 考生质量=考生质量+1, 考生数量=考生数量+1", kFile);
    EXPECT_EQ(results::CheckIntegrity(), results::Integrity::CountersTampered);
    conn.ExecuteStatement("update JoinExam set 考生质量=考生质量-1, 考生数量=null", kFile);
    EXPECT_EQ(results::CheckIntegrity(), results::Integrity::CountersTampered);
    conn.ExecuteStatement("update JoinExam set 考生数量=考生质量+5", kFile);
    EXPECT_EQ(results::CheckIntegrity(), results::Integrity::Intact);

    std::vector<results::ScoreRow> rows;
    EXPECT_EQ(results::CheckAndListAll(&rows), results::Integrity::Intact);
    EXPECT_EQ(rows.size(), 1u);

    Tamper(id, "成绩", "95");
    EXPECT_EQ(results::CheckIntegrity(), results::Integrity::ScoreTampered);
    EXPECT_EQ(results::CheckAndListAll(&rows), results::Integrity::ScoreTampered);
    EXPECT_TRUE(rows.empty());
}

results::ListedRow Listed(int number) {
    return {QString::number(number),
            {"张三", "生产部", "操作工", "80", "是", "00:10:00",
             "2026/12/09" + QString(QChar(0x3000)) + "10:00:00", "甲考试", "1"}};
}

TEST(ScoreExport, HandsTheSheetTheDateAndTheTimesWhenAsked) {
    const auto plan = results::PlanExport(5, {Listed(2), Listed(4)}, true);
    ASSERT_EQ(plan.sheet.rows.size(), 2);
    EXPECT_TRUE(plan.sheet.showTimeUsed);
    EXPECT_EQ(plan.sheet.examName, "甲考试");
    EXPECT_EQ(plan.sheet.rows[1].number, "4");
    EXPECT_EQ(plan.sheet.rows[1].date, "2026/12/09");
    EXPECT_EQ(plan.sheet.rows[1].timeUsed, "00:10:00");
}

TEST(ScoreSheetLayout, PlacesRowsAndFooter) {
    EXPECT_EQ(scoresheet::RowY(19), 848);
    EXPECT_EQ(scoresheet::FooterY(20), 892);
    EXPECT_EQ(scoresheet::FooterY(18), 892);
    EXPECT_EQ(scoresheet::FooterY(17), 858);
    EXPECT_EQ(scoresheet::FooterY(3), 382);

    ScoreSheet sheet;
    for (int i = 0; i < 20; ++i)
        sheet.rows.append({QString::number(i + 1), "张三", "生产部", "操作工", "80", "是",
                           "00:10:00", "2026/12/09"});
    auto layout = scoresheet::LayOut(sheet, QDate(2026, 12, 9));
    EXPECT_EQ(layout.date, "2026.12.09");
    EXPECT_EQ(layout.paperLine, "(试卷名称：)");
    ASSERT_EQ(layout.cells.size(), 7u * 21);
    EXPECT_EQ(layout.cells.back().rect, QRect(522, 848, 90, 34));
    EXPECT_EQ(layout.cells[6].kind, scoresheet::CellKind::SingleLine);
    EXPECT_EQ(layout.cells[6].line1, "考试时间");
    EXPECT_EQ(layout.footerY, 892);

    sheet.showTimeUsed = true;
    layout = scoresheet::LayOut(sheet, QDate(2026, 12, 9));
    EXPECT_EQ(layout.cells[6].kind, scoresheet::CellKind::TwoLine);
    EXPECT_EQ(layout.cells[6].line2, "考试时间");
    EXPECT_EQ(layout.cells.back().line1, "00:10:00");
    EXPECT_EQ(layout.cells.back().line2, "2026/12/09");
}

TEST(ScoreSheetLayout, WrapsByBytesWithoutSplittingCharacters) {
    const QString fourByte = QString::fromUcs4(U"\U00020000");  // CJK extension B
    struct Case {
        QString text;
        QStringList lines;
    } cases[] = {
        {"安全生产管理部", {"安全生产管理部"}},  // 14 bytes
        {"安全生产管理部a", {"安全生产管理部", "a"}},
        {"安全生产管理部门", {"安全生产管理部", "门"}},  // 16 bytes: 14 + 2
        {"a安全生产管理部b", {"a安全生产管理", "部b"}},  // 14th byte mid-character: 13 + 3
        {"abcdefghijkl" + fourByte + "x", {"abcdefghijkl", fourByte + "x"}},
        {"安全生产管理部门安全生产管理部门", {"安全生产管理部", "门安全生产管理"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scoresheet::WrapLines(c.text), c.lines) << c.text.toStdString();
}

TEST(ScoreSheetLayout, AppendsBmpOnlyWhenMissing) {
    EXPECT_EQ(scoresheet::PicturePath("/t/a"), "/t/a.bmp");
    EXPECT_EQ(scoresheet::PicturePath("/t/a.bmp"), "/t/a.bmp");
    EXPECT_EQ(scoresheet::PicturePath("/t/a.BMP"), "/t/a.BMP");
    EXPECT_EQ(scoresheet::PicturePath("/t/a.bmp.png"), "/t/a.bmp.png.bmp");
}

TEST(Grading, TidiesThePointsFieldAndComparesAsNumbers) {
    const std::pair<const char*, const char*> typed[] = {
        {"1.27", "1.2"}, {"10.99", "10.9"}, {"05", "5"},  {"00", "0"}, {"0", "0"},
        {"0.5", "0.5"},  {".5", ""},        {"7.", "7."}, {"", ""},
    };
    for (const auto& [text, tidy] : typed) EXPECT_EQ(grading::NormalizedPoints(text), tidy) << text;
    EXPECT_EQ(grading::AwardedPoints(""), 0);
    EXPECT_FALSE(grading::ExceedsQuestion(10, "10"));
    EXPECT_TRUE(grading::ExceedsQuestion(10.05, "10"));
    EXPECT_EQ(grading::ConfirmationText(2.5), "您批改的2.5分将被记入该考生的成绩，是否确定？");
}

TEST_F(ScoreData, AwardingAddsPointsRewritesTheCodeAndConsumesTheAnswer) {
    StoredScore s;
    s.score = "77.5";
    s.essays = true;
    const qlonglong id = StoreScore(s);
    StoreEssay(id, s);
    StoreEssay(id, s);
    auto answers = grading::ListAnswers();
    ASSERT_EQ(answers.size(), 2u);

    auto first = grading::Award(answers[0], 2.5);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->score, "80");
    EXPECT_TRUE(first->essaysLeft);
    auto second = grading::Award(answers[1], 0);  // an empty field awards nothing
    ASSERT_TRUE(second);
    EXPECT_EQ(second->score, "80");
    EXPECT_FALSE(second->essaysLeft);
    EXPECT_TRUE(grading::ListAnswers().empty());

    CADOConn conn;
    auto row = conn.OpenRecordset("select * from ExamRegister where ID=?", kFile, {id});
    EXPECT_EQ(row->GetText("成绩"), "80");
    EXPECT_TRUE(row->IsNull("问答题"));
    EXPECT_EQ(results::CheckIntegrity(), results::Integrity::Intact);

    StoredScore t = s;
    t.name = "李四";
    const qlonglong other = StoreScore(t);
    StoreEssay(other, t);
    auto third = grading::Award(grading::ListAnswers()[0], 2);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->score, "79.5");
}

TEST_F(ScoreData, AwardingForAMissingRegistrationConsumesNothing) {
    const qlonglong id = StoreScore(StoredScore());
    StoreEssay(id + 100, StoredScore());
    QString error;
    EXPECT_FALSE(grading::Award(grading::ListAnswers()[0], 5, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(grading::ListAnswers().size(), 1u);
}

}  // namespace
