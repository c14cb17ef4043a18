#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

// The figures of one exam for its administrator: ranks, a summary of the scores with
// their distribution, and an analysis of every bank question drawn, read from the answer
// sheets. The calculations are plain functions; Load* read personnel.mdb (and the paper's
// full mark from questions.mdb) and raise DatabaseError when a read fails.
namespace statistics {

// Competition ranks of scores sorted highest first: equal scores share a rank and the
// next rank skips (90, 85, 85, 80 rank 1, 2, 2, 4).
std::vector<int> CompetitionRanks(const std::vector<double>& descending);

// The rule of the 合格 column: the pass mark counts as a whole number and a score
// equal to it does not pass.
bool Passes(double score, double passMark);

struct Summary {
    int enrolled = 0;
    int sat = 0;  // 0: there is no score, and the figures below mean nothing
    int absent = 0;
    int passed = 0;
    double mean = 0;
    double median = 0;     // of an even count, the mean of the middle two
    double deviation = 0;  // population standard deviation: every examinee who sat
    double highest = 0;
    double lowest = 0;
    double passRate = 0;  // passed / sat
};
Summary Summarise(const std::vector<double>& scores, int enrolled, double passMark);

constexpr int kBins = 10;
// Scores per tenth of the full mark, the lower bound of each bin included; the top bin
// also holds the full mark (and anything above it), the first anything below 0.
std::array<int, kBins> Histogram(const std::vector<double>& scores, double fullMark);

// 单选题, 多选题 and 判断题: answered by option letters, whose choices are counted.
bool IsChoiceType(const QString& type);

// One answer-sheet row as the analysis needs it.
struct Response {
    int examinee = 0;              // index into the examinees' totals
    int item = 0;                  // index into the bank questions drawn
    std::optional<double> earned;  // nullopt: an essay not graded yet
    double points = 0;
    std::array<bool, 5> chosen = {};  // options A..E in the answer
};

struct ItemFigures {
    int drawn = 0;
    int graded = 0;                  // responses with points earned, the base of the figures below
    std::optional<double> facility;  // mean share of the points earned
    std::optional<double> discrimination;  // facility in the top group minus the bottom
    std::optional<double> pointBiserial;   // correlation of the share with the total
    std::array<int, 5> optionCounts = {};
};

// Size of the top and of the bottom group among n examinees: 27% rounded half up, no
// more than half of them so the groups never overlap (0 for a single examinee).
int GroupSize(int examinees);
// Figures of `items` bank questions from their responses, `totals` holding each
// examinee's score. Top and bottom groups are taken by total, highest first, equal
// totals in examinee order. A response to a question worth nothing counts as drawn only.
std::vector<ItemFigures> AnalyseItems(const std::vector<double>& totals,
                                      const std::vector<Response>& responses, int items);

// "过易" above 0.9, "过难" below 0.2, "区分度低" below 0.2.
QStringList Flags(const ItemFigures& figures);

// What the statistics screen shows of one exam.
struct ExamFigures {
    std::vector<double> scores;
    int enrolled = 0;
    double passMark = 0;
    double fullMark = 100;  // the paper's (100 when unknown), at least the highest score
};
ExamFigures LoadExamFigures(const QString& examName);

struct ItemRow {
    QString type;  // 题型
    qint64 questionId = 0;
    QString subject;
    QString stem;
    ItemFigures figures;
};
// Every bank question drawn in the exam, by type in the paper's order (单选题, 判断题,
// 填空题, 多选题, 问答题, then any other) and by question ID.
std::vector<ItemRow> LoadItemAnalysis(const QString& examName);

}  // namespace statistics
