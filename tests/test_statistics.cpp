#include <cmath>

#include "data/xlsxworkbook.h"
#include "data/xlsxwriter.h"
#include "rules/results.h"
#include "rules/statistics.h"
#include "scorefixture.h"
#include "testutil.h"

namespace {

using statistics::ItemFigures;
using statistics::Response;

TEST(Statistics, RanksEqualScoresAlikeAndSkipsTheNext) {
    const struct {
        std::vector<double> scores;
        std::vector<int> ranks;
    } cases[] = {
        {{}, {}},
        {{100}, {1}},
        {{90, 85, 85, 80}, {1, 2, 2, 4}},
        {{70, 70, 70}, {1, 1, 1}},
        {{90, 90, 85.5, 85, 85}, {1, 1, 3, 4, 4}},
    };
    for (const auto& c : cases) EXPECT_EQ(statistics::CompetitionRanks(c.scores), c.ranks);
}

TEST(Statistics, HistogramPutsBoundsInTheUpperBinAndTheFullMarkInTheTop) {
    const auto bins = statistics::Histogram({0, 9.99, 10, 55, 99.9, 100, 120, -3}, 100);
    EXPECT_EQ(bins, (std::array<int, 10>{3, 1, 0, 0, 0, 1, 0, 0, 0, 3}));
    EXPECT_EQ(statistics::Histogram({15, 150}, 150),
              (std::array<int, 10>{0, 1, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(statistics::Histogram({15}, 0), (std::array<int, 10>{}));
}

TEST(Statistics, GroupsAre27PercentRoundedHalfUpAndNeverOverlap) {
    const int sizes[][2] = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {5, 1}, {6, 2}, {10, 3}, {100, 27}};
    for (const auto& size : sizes)
        EXPECT_EQ(statistics::GroupSize(size[0]), size[1]) << size[0] << " examinees";
}

TEST(Statistics, FlagsOnlyBeyondTheirThresholds) {
    const struct {
        std::optional<double> facility, discrimination;
        QStringList flags;
    } cases[] = {
        {0.91, 0.5, {"过易"}},     {0.9, 0.5, {}},
        {0.19, 0.5, {"过难"}},     {0.2, 0.2, {}},
        {0.5, 0.19, {"区分度低"}}, {std::nullopt, std::nullopt, {}},
    };
    for (const auto& c : cases) {
        ItemFigures f;
        f.facility = c.facility;
        f.discrimination = c.discrimination;
        EXPECT_EQ(statistics::Flags(f), c.flags);
    }
}

// Ten examinees, totals 95, 90, …, 50 (mean 72.5, population deviation 14.3614); top and
// bottom groups of 3. Worked by hand:
//  item 0, 2 points: E0–E5 right (B), E6/E7 chose A, E8 C, E9 left it. Facility 6/10;
//   discrimination 1 − 0; point-biserial (82.5 − 57.5) / 14.3614 · √(0.6 · 0.4) = 0.8528.
//  item 1, an essay worth 10: E0 8, E5 5, E9 2, E1 not graded yet. Facility 1.5/3;
//   discrimination 0.8 − 0.2; correlation of (0.8, 0.5, 0.2) with (95, 70, 50) = 0.99795.
//  item 2: all right: facility 1, discrimination 0, no correlation (no spread).
//  item 3: drawn by nobody.
TEST(Statistics, HandWorkedTenExamineeExam) {
    const std::vector<double> totals = {95, 90, 85, 80, 75, 70, 65, 60, 55, 50};
    std::vector<Response> responses;
    const char* item0[] = {"B", "B", "B", "B", "B", "B", "A", "A", "C", ""};
    for (int e = 0; e < 10; ++e) {
        Response r{e, 0, e < 6 ? 2.0 : 0.0, 2, {}};
        if (*item0[e]) r.chosen[size_t(item0[e][0] - 'A')] = true;
        responses.push_back(r);
        responses.push_back({e, 2, 1.0, 1, {}});
    }
    responses.push_back({0, 1, 8.0, 10, {}});
    responses.push_back({1, 1, std::nullopt, 10, {}});
    responses.push_back({5, 1, 5.0, 10, {}});
    responses.push_back({9, 1, 2.0, 10, {}});

    const auto f = statistics::AnalyseItems(totals, responses, 4);
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0].drawn, 10);
    EXPECT_DOUBLE_EQ(*f[0].facility, 0.6);
    EXPECT_DOUBLE_EQ(*f[0].discrimination, 1.0);
    EXPECT_NEAR(*f[0].pointBiserial, 0.852803, 1e-6);
    EXPECT_EQ(f[0].optionCounts, (std::array<int, 5>{2, 6, 1, 0, 0}));
    EXPECT_EQ(f[1].drawn, 4);
    EXPECT_EQ(f[1].graded, 3);
    EXPECT_DOUBLE_EQ(*f[1].facility, 0.5);
    EXPECT_NEAR(*f[1].discrimination, 0.6, 1e-12);
    EXPECT_NEAR(*f[1].pointBiserial, 0.997949, 1e-6);
    EXPECT_DOUBLE_EQ(*f[2].facility, 1.0);
    EXPECT_DOUBLE_EQ(*f[2].discrimination, 0.0);
    EXPECT_FALSE(f[2].pointBiserial);
    EXPECT_EQ(statistics::Flags(f[2]), QStringList({"过易", "区分度低"}));
    EXPECT_EQ(f[3].drawn, 0);
    EXPECT_FALSE(f[3].facility || f[3].discrimination || f[3].pointBiserial);

    const statistics::Summary s = statistics::Summarise(totals, 12, 60);
    EXPECT_EQ(s.absent, 2);
    EXPECT_DOUBLE_EQ(s.mean, 72.5);
    EXPECT_DOUBLE_EQ(s.median, 72.5);  // even count: (75 + 70) / 2
    EXPECT_NEAR(s.deviation, 14.361407, 1e-6);
    EXPECT_EQ(s.passed, 7) << "60 with a pass mark of 60 does not pass, as in the list";
    EXPECT_DOUBLE_EQ(s.passRate, 0.7);
    EXPECT_EQ(s.highest, 95);
    EXPECT_EQ(s.lowest, 50);
}

TEST(Statistics, NoScoreGivesCountsOnlyAndNothingDividesByZero) {
    const statistics::Summary s = statistics::Summarise({}, 4, 60);
    EXPECT_EQ(s.sat, 0);
    EXPECT_EQ(s.absent, 4);
    for (double figure : {s.mean, s.median, s.deviation, s.passRate}) EXPECT_EQ(figure, 0);
    const auto single = statistics::AnalyseItems({80}, {{0, 0, 1.0, 2, {}}, {0, 1, 0.0, 0, {}}}, 2);
    EXPECT_DOUBLE_EQ(*single[0].facility, 0.5);
    EXPECT_FALSE(single[0].discrimination) << "one examinee makes no groups";
    EXPECT_FALSE(single[0].pointBiserial);
    EXPECT_EQ(single[1].drawn, 1);
    EXPECT_FALSE(single[1].facility) << "a question worth nothing";
    EXPECT_TRUE(statistics::AnalyseItems({}, {}, 0).empty());
}

class StatisticsData : public DataFolderTest {};

TEST_F(StatisticsData, RankingSharesRanksAndListsTheAbsentLast) {
    StoredScore s;
    s.examNo = "9";  // not the sample folder's exam, which has registrations of its own
    s.examName = "年度考试";
    const char* scores[] = {"85", "90", "85", "70"};
    for (const char* score : scores) {
        s.score = score;
        StoreScore(s);
    }
    StoredScore absent = s;
    absent.name = "缺考者";
    StoreUnscored(absent);
    StoredScore other = s;
    other.examNo = "2";
    other.examName = "另一考试";
    StoreUnscored(other);

    const results::Ranking ranking = results::RankExam(s.examName);
    ASSERT_EQ(ranking.rows.size(), 5u);
    EXPECT_EQ(ranking.ranks, QStringList({"1", "2", "2", "4", "缺考"}));
    EXPECT_EQ(ranking.rows[4].name, "缺考者");
    EXPECT_TRUE(ranking.rows[4].score.isEmpty());
    EXPECT_TRUE(results::RankExam("没有的考试").rows.empty());

    const statistics::ExamFigures figures = statistics::LoadExamFigures(s.examName);
    EXPECT_EQ(figures.enrolled, 5);
    EXPECT_EQ(figures.scores.size(), 4u);
    EXPECT_EQ(figures.passMark, 60);
    EXPECT_EQ(figures.fullMark, 100) << "no paper: 100";
    EXPECT_EQ(statistics::LoadExamFigures("没有的考试").enrolled, 0);
}

TEST_F(StatisticsData, ItemAnalysisReadsTheAnswerSheetsOfTheExamOnly) {
    StoredScore s;
    s.score = "90";
    const qlonglong strong = StoreScore(s);
    s.score = "40";
    const qlonglong weak = StoreScore(s);
    StoredScore other = s;
    other.examNo = "2";
    other.examName = "另一考试";
    const qlonglong elsewhere = StoreScore(other);
    // The same bank question at different places of the two papers; an essay not graded.
    StoreAnswer({strong, "1", 1, "多选题", 7, QString("ABD"), "4", "4"});
    StoreAnswer({weak, "1", 3, "多选题", 7, QString("AB"), "4", "0"});
    StoreAnswer({weak, "1", 1, "单选题", 7, std::nullopt, "2", "0"});
    StoreAnswer({strong, "1", 2, "问答题", 3, QString("答"), "10", ""});
    StoreAnswer({elsewhere, "2", 1, "多选题", 7, QString("C"), "4", "4"});

    const auto rows = statistics::LoadItemAnalysis(s.examName);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].type, "单选题");
    EXPECT_EQ(rows[0].figures.optionCounts, (std::array<int, 5>{}));
    EXPECT_EQ(rows[1].type, "多选题");
    EXPECT_EQ(rows[1].questionId, 7);
    EXPECT_EQ(rows[1].figures.drawn, 2);
    EXPECT_DOUBLE_EQ(*rows[1].figures.facility, 0.5);
    EXPECT_DOUBLE_EQ(*rows[1].figures.discrimination, 1.0);
    EXPECT_EQ(rows[1].figures.optionCounts, (std::array<int, 5>{2, 2, 0, 1, 0}));
    EXPECT_EQ(rows[2].type, "问答题");
    EXPECT_EQ(rows[2].figures.graded, 0);
    EXPECT_FALSE(rows[2].figures.facility);
    EXPECT_TRUE(statistics::LoadItemAnalysis("没有的考试").empty());
}

class WorkbookWriting : public TempFolderTest {};

TEST_F(WorkbookWriting, ReadsBackAsWrittenNumbersAsNumbers) {
    using xlsxwriter::Cell;
    const QString path = Path("成绩.xlsx");
    const QList<xlsxwriter::Row> rows = {
        {{"1", false}, {"张三", false}, {"85.5", true}, {" 前后空格 ", false}},
        {{"2", false}, {"", false}, {"缺考", true}, {"a\x01<&>\"b", false}},
        {{"3", false}, {"007", false}, {"1e5", true}, {"-2", false}},
    };
    QString error;
    ASSERT_TRUE(
        xlsxwriter::WriteSheet(path, "成绩/一:月", {"序号", "姓名", "成绩", "备注"}, rows, &error))
        << error.toStdString();
    QString reason;
    const auto book = xlsx::ReadWorkbook(path, &reason);
    ASSERT_TRUE(book) << reason.toStdString();
    ASSERT_EQ(book->sheets.size(), 1u);
    const Worksheet& sheet = book->sheets[0];
    EXPECT_EQ(sheet.name, "成绩_一_月");
    EXPECT_EQ(sheet.header, QStringList({"序号", "姓名", "成绩", "备注"}));
    ASSERT_EQ(sheet.rows.size(), 3u);
    EXPECT_EQ(sheet.rows[0].Cell(2), "85.5");
    EXPECT_EQ(sheet.rows[0].Cell(3), " 前后空格 ");
    EXPECT_FALSE(sheet.rows[1].Has(1)) << "an empty text leaves the cell empty";
    EXPECT_EQ(sheet.rows[1].Cell(2), "缺考") << "not a number: kept as text";
    EXPECT_EQ(sheet.rows[1].Cell(3), "a<&>\"b");
    EXPECT_EQ(sheet.rows[2].Cell(1), "007") << "text stays text";
    EXPECT_EQ(sheet.rows[2].Cell(2), "1e5");

    const struct {
        int column;
        const char* name;
    } names[] = {{0, "A"}, {25, "Z"}, {26, "AA"}, {701, "ZZ"}, {702, "AAA"}};
    for (const auto& n : names) EXPECT_EQ(xlsxwriter::ColumnName(n.column), n.name);
}

}  // namespace
