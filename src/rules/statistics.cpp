#include "rules/statistics.h"

#include <QByteArrayView>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <numeric>

#include "data/adoconn.h"
#include "data/questiontype.h"
#include "data/schema.h"

namespace statistics {

std::vector<int> CompetitionRanks(const std::vector<double>& descending) {
    std::vector<int> ranks(descending.size());
    for (size_t i = 0; i < descending.size(); ++i)
        ranks[i] = i > 0 && descending[i] == descending[i - 1] ? ranks[i - 1] : int(i) + 1;
    return ranks;
}

bool Passes(double score, double passMark) {
    return std::trunc(passMark) < score;
}

Summary Summarise(const std::vector<double>& scores, int enrolled, double passMark) {
    Summary s;
    s.enrolled = enrolled;
    s.sat = int(scores.size());
    s.absent = std::max(0, enrolled - s.sat);
    if (scores.empty()) return s;
    std::vector<double> sorted = scores;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    s.lowest = sorted.front();
    s.highest = sorted.back();
    s.median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    s.mean = std::accumulate(sorted.begin(), sorted.end(), 0.0) / double(n);
    double squares = 0;
    for (double score : sorted) {
        squares += (score - s.mean) * (score - s.mean);
        if (Passes(score, passMark)) ++s.passed;
    }
    s.deviation = std::sqrt(squares / double(n));
    s.passRate = double(s.passed) / double(n);
    return s;
}

std::array<int, kBins> Histogram(const std::vector<double>& scores, double fullMark) {
    std::array<int, kBins> bins = {};
    if (fullMark <= 0) return bins;
    for (double score : scores) {
        const double bin = std::floor(score * kBins / fullMark);
        bins[size_t(std::clamp(bin, 0.0, double(kBins - 1)))]++;
    }
    return bins;
}

int GroupSize(int examinees) {
    const int rounded = int(std::floor(examinees * 0.27 + 0.5));
    return std::min(std::max(rounded, 1), examinees / 2);
}

namespace {

// Sums for a mean and a correlation, collected in one pass over the responses.
struct Sums {
    int n = 0;
    double x = 0, y = 0, xx = 0, yy = 0, xy = 0;
    void Add(double share, double total) {
        ++n;
        x += share;
        y += total;
        xx += share * share;
        yy += total * total;
        xy += share * total;
    }
    std::optional<double> Mean() const {
        return n > 0 ? std::optional<double>(x / n) : std::nullopt;
    }
    std::optional<double> Correlation() const {
        const double varX = n * xx - x * x;
        const double varY = n * yy - y * y;
        // Rounding can leave a tiny positive variance where every value was the same.
        const double tiny = 1e-9 * std::max(1.0, n * yy);
        if (n < 2 || varX <= 1e-12 * n * n || varY <= tiny) return std::nullopt;
        return (n * xy - x * y) / std::sqrt(varX * varY);
    }
};

}  // namespace

std::vector<ItemFigures> AnalyseItems(const std::vector<double>& totals,
                                      const std::vector<Response>& responses, int items) {
    const int examinees = int(totals.size());
    std::vector<int> order(totals.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return totals[size_t(a)] > totals[size_t(b)]; });
    const int group = GroupSize(examinees);
    std::vector<signed char> place(totals.size(), 0);  // 1 top group, -1 bottom group
    for (int i = 0; i < group; ++i) {
        place[size_t(order[size_t(i)])] = 1;
        place[size_t(order[size_t(examinees - 1 - i)])] = -1;
    }

    std::vector<ItemFigures> figures(size_t(std::max(items, 0)));
    std::vector<Sums> all(figures.size()), top(figures.size()), bottom(figures.size());
    for (const Response& r : responses) {
        if (r.item < 0 || r.item >= items || r.examinee < 0 || r.examinee >= examinees) continue;
        ItemFigures& f = figures[size_t(r.item)];
        ++f.drawn;
        for (size_t option = 0; option < r.chosen.size(); ++option)
            if (r.chosen[option]) ++f.optionCounts[option];
        if (!r.earned || r.points <= 0) continue;
        const double share = *r.earned / r.points;
        const double total = totals[size_t(r.examinee)];
        all[size_t(r.item)].Add(share, total);
        if (place[size_t(r.examinee)] > 0) top[size_t(r.item)].Add(share, total);
        if (place[size_t(r.examinee)] < 0) bottom[size_t(r.item)].Add(share, total);
    }
    for (size_t i = 0; i < figures.size(); ++i) {
        ItemFigures& f = figures[i];
        f.graded = all[i].n;
        f.facility = all[i].Mean();
        f.pointBiserial = all[i].Correlation();
        const auto high = top[i].Mean(), low = bottom[i].Mean();
        if (high && low) f.discrimination = *high - *low;
    }
    return figures;
}

bool IsChoiceType(const QString& type) {
    const std::optional<QuestionType> kind = qtype::Of(type);
    return kind == QuestionType::Single || kind == QuestionType::Multiple ||
           kind == QuestionType::TrueFalse;
}

QStringList Flags(const ItemFigures& f) {
    QStringList flags;
    if (f.facility && *f.facility > 0.9) flags << QStringLiteral("过易");
    if (f.facility && *f.facility < 0.2) flags << QStringLiteral("过难");
    if (f.discrimination && *f.discrimination < 0.2) flags << QStringLiteral("区分度低");
    return flags;
}

namespace {

const QString kPersonnel = schema::kPersonnelFile;

// Stored points and IDs are plain decimals; those are read without the general parser,
// which costs more than the rest of reading an answer-sheet row.
std::optional<double> NumberOf(QByteArrayView text) {
    qsizetype i = text.startsWith('-') ? 1 : 0;
    double whole = 0;
    const qsizetype digitsFrom = i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && i < 16; ++i)
        whole = whole * 10 + (text[i] - '0');
    if (i == text.size() && i > digitsFrom) return digitsFrom ? -whole : whole;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// The scored registrations of an exam: ID -> score, and the exam's number.
struct Scored {
    QHash<qint64, double> scoreById;
    std::vector<double> scores;
    QString examNo;
    double passMark = 0;
};

Scored ReadScored(CADOConn& conn, const QString& examName) {
    Scored scored;
    conn.ForEachRow(
        "select ID,考试号,合格分数,成绩 from ExamRegister where 考试名称=? and 成绩 is not null",
        kPersonnel, {examName}, [&](const CRowReader& row) {
            const double score = NumberOf(row.Utf8(3)).value_or(0);
            scored.scoreById.insert(row.Text(0).toLongLong(), score);
            scored.scores.push_back(score);
            if (scored.examNo.isEmpty()) {
                scored.examNo = row.Text(1);
                scored.passMark = NumberOf(row.Utf8(2)).value_or(0);
            }
        });
    return scored;
}

double PaperFullMark(const QString& examName) {
    CADOConn conn;
    const RecordsetPtr exam = conn.OpenRecordset(
        "select 试卷名称 from ExamArrange where 考试名称=?", kPersonnel, {examName});
    if (exam->RecordCount() == 0) return 0;
    CADOConn bank;  // a connection serves one data file
    const RecordsetPtr paper =
        bank.OpenRecordset("select 满分 from exampaper where 名称=?", schema::kQuestionsFile,
                           {exam->GetText("试卷名称")});
    return paper->RecordCount() > 0 ? paper->GetText("满分").toDouble() : 0;
}

}  // namespace

ExamFigures LoadExamFigures(const QString& examName) {
    ExamFigures figures;
    CADOConn conn;
    Scored scored = ReadScored(conn, examName);
    figures.scores = std::move(scored.scores);
    figures.passMark = scored.passMark;
    if (!scored.examNo.isEmpty())
        figures.enrolled =
            int(conn.CountRows("ExamRegister where 考试号=?", kPersonnel, {scored.examNo}));
    figures.fullMark = PaperFullMark(examName);
    if (figures.fullMark <= 0) figures.fullMark = 100;
    // A paper changed after the exam must not push scores out of the chart.
    for (double score : figures.scores) figures.fullMark = std::max(figures.fullMark, score);
    return figures;
}

std::vector<ItemRow> LoadItemAnalysis(const QString& examName) {
    CADOConn conn;
    const Scored scored = ReadScored(conn, examName);
    std::vector<ItemRow> rows;
    if (scored.examNo.isEmpty()) return rows;

    enum { kId, kRegistration, kType, kQuestion, kAnswer, kPoints, kEarned };
    std::vector<double> totals;
    std::vector<Response> responses;
    QHash<qint64, int> examineeOf;   // registration ID -> index into totals
    QHash<qint64, int> itemOf;       // type number and 题目编号 -> index into rows
    std::vector<qint64> firstRowOf;  // the answer-sheet row that shows each question
    qint64 lastRegistration = -1;    // a sheet's rows come together
    int lastExaminee = -1;
    QStringList types;
    // The rows come in long runs of one type: its text is made once per run.
    QByteArray runType;
    qint64 runTypeNumber = -1;
    bool runIsChoice = false;
    conn.ForEachRow(
        "select ID,考生编号,题型,题目编号,答题,分值,得分 from answerSheet where 考试号=?",
        kPersonnel, {scored.examNo}, [&](const CRowReader& row) {
            const qint64 registration = qint64(NumberOf(row.Utf8(kRegistration)).value_or(-1));
            if (registration != lastRegistration) {
                lastRegistration = registration;
                lastExaminee = -1;
                const auto score = scored.scoreById.constFind(registration);
                if (score == scored.scoreById.cend()) return;  // not handed in: no total
                auto examinee = examineeOf.constFind(registration);
                if (examinee == examineeOf.cend()) {
                    examinee = examineeOf.insert(registration, int(totals.size()));
                    totals.push_back(*score);
                }
                lastExaminee = *examinee;
            }
            if (lastExaminee < 0) return;
            Response r;
            r.examinee = lastExaminee;
            if (runTypeNumber < 0 || row.Utf8(kType) != QByteArrayView(runType)) {
                runType = row.Utf8(kType).toByteArray();
                const QString type = QString::fromUtf8(runType);
                if (!types.contains(type)) types << type;
                runTypeNumber = types.indexOf(type);
                runIsChoice = IsChoiceType(type);
            }
            const qint64 questionId = qint64(NumberOf(row.Utf8(kQuestion)).value_or(0));
            const qint64 key = (runTypeNumber << 48) ^ questionId;
            auto item = itemOf.constFind(key);
            if (item == itemOf.cend()) {
                item = itemOf.insert(key, int(rows.size()));
                rows.push_back({types[runTypeNumber], questionId, QString(), QString(), {}});
                firstRowOf.push_back(qint64(NumberOf(row.Utf8(kId)).value_or(0)));
            }
            r.item = *item;
            r.points = NumberOf(row.Utf8(kPoints)).value_or(0);
            r.earned = NumberOf(row.Utf8(kEarned));
            if (runIsChoice) {
                for (char c : row.Utf8(kAnswer))
                    if (c >= 'A' && c <= 'E') r.chosen[size_t(c - 'A')] = true;
            }
            responses.push_back(r);
        });
    const std::vector<ItemFigures> figures = AnalyseItems(totals, responses, int(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].figures = figures[i];
        // Subject and stem from one row each: read on every row they would double the scan.
        const RecordsetPtr shown = conn.OpenRecordset(
            "select 科目,题干 from answerSheet where ID=?", kPersonnel, {firstRowOf[i]});
        rows[i].subject = shown->GetText("科目");
        rows[i].stem = shown->GetText("题干");
    }
    const QStringList paperOrder = qtype::Names();
    auto place = [&](const ItemRow& row) {
        const qsizetype type = paperOrder.indexOf(row.type);
        return std::make_pair(type < 0 ? paperOrder.size() : type, row.questionId);
    };
    std::sort(rows.begin(), rows.end(),
              [&](const ItemRow& a, const ItemRow& b) { return place(a) < place(b); });
    return rows;
}

}  // namespace statistics
