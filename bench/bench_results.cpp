// Score query timings: 显示全部 on the score query with 100,000 scored registrations,
// which runs the integrity pass (counters of every exam, the code of every scored row),
// reads the rows and lists them; and the statistics and item analysis of one exam of
// 10,000 examinees with 100 questions each.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "app/testseams.h"
#include "benchfolder.h"
#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"
#include "datafolder.h"
#include "rules/results.h"
#include "rules/statistics.h"
#include "ui/common/checktable.h"
#include "ui/results/checkscore.h"

namespace {

constexpr int kRegistrations = 100000;
constexpr int kExams = 10;

// 100,000 scored registrations over ten exams, with valid codes and counters, in place
// of the sample registrations.
void StoreScores() {
    const QString file = schema::kPersonnelFile;
    CADOConn conn;
    conn.OpenDatabase(file);
    CTransaction transaction(conn);
    conn.ExecuteStatement("delete from ExamRegister", file);
    conn.ExecuteStatement("delete from JoinExam", file);
    const QString handIn = QStringLiteral("2026/12/09") + QChar(0x3000) + "10:00:00";
    for (int i = 1; i <= kRegistrations; ++i) {
        const QString id = QString::number(i);
        const QString name = QStringLiteral("考生%1").arg(i);
        const QString position = QStringLiteral("操作工");
        const QString exam = QStringLiteral("月度考试%1").arg(i % kExams + 1);
        const QString score = QString::number(i % 100) + (i % 2 ? ".5" : "");
        const QString time = QString::number(300 + i % 3000);
        conn.ExecuteStatement(
            "insert into ExamRegister(ID,姓名,部门,职务,考试号,合格分数,考试名称,成绩,考试用时,"
            "考试时间,保存码) values(?,?,?,?,?,?,?,?,?,?,?)",
            file,
            {i, name, QStringLiteral("生产部"), position, QString::number(i % kExams + 1), "60",
             exam, score, time, handIn,
             codes::ScoreCode({id, name, position, exam, score, "60", time, handIn})});
    }
    for (int exam = 1; exam <= kExams; ++exam) {
        const codes::Counters counters = codes::CountersFor(kRegistrations / kExams);
        conn.ExecuteStatement("insert into JoinExam(考试号,考生质量,考生数量) values(?,?,?)", file,
                              {exam, counters.quality, counters.quantity});
    }
    transaction.Commit();
}

// 显示全部 pressed on a freshly opened score query, as the administrator does: the
// screen's own set-up and the list's deletion when it closes are not timed.
void ShowAllScores(benchmark::State& state) {
    DataFolder folder;
    StoreScores();
    seams::Recorder& recorder = seams::StartRecording();
    long listed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto screen = std::make_unique<CCheckScore>();
        screen->show();
        QApplication::processEvents();
        auto* showAll = screen->findChild<QPushButton*>("showAll");
        state.ResumeTiming();
        showAll->click();
        QApplication::processEvents();  // lay out and paint the visible rows
        state.PauseTiming();
        listed = screen->ScoreList()->rowCount();
        screen.reset();
        state.ResumeTiming();
    }
    if (listed != kRegistrations || recorder.exits != 0)
        state.SkipWithError("the list does not hold every scored registration");
    seams::StopRecording();
}
BENCHMARK(ShowAllScores)->Unit(benchmark::kMillisecond)->Iterations(3);

// The integrity pass alone, for comparison.
void IntegrityPass(benchmark::State& state) {
    DataFolder folder;
    StoreScores();
    for (auto _ : state)
        if (results::CheckIntegrity() != results::Integrity::Intact)
            state.SkipWithError("the stored scores do not check");
}
BENCHMARK(IntegrityPass)->Unit(benchmark::kMillisecond)->Iterations(3);

// One exam of 10,000 examinees, each with an answer sheet of 100 questions drawn from a
// bank of 300 (a million answer-sheet rows).
constexpr int kExaminees = 10000;
constexpr int kQuestions = 100;

void StoreAnswerSheets() {
    const QString file = schema::kPersonnelFile;
    CADOConn conn;
    conn.OpenDatabase(file);
    CTransaction transaction(conn);
    conn.ExecuteStatement("delete from ExamRegister", file);
    for (int i = 1; i <= kExaminees; ++i) {
        conn.ExecuteStatement(
            "insert into ExamRegister(ID,姓名,考试号,合格分数,考试名称,成绩) values(?,?,?,?,?,?)",
            file,
            {i, QStringLiteral("考生%1").arg(i), "1", "60", QStringLiteral("年度考试"),
             QString::number(i % 101)});
        for (int q = 1; q <= kQuestions; ++q) {
            const int question = (i * 7 + q * 3) % 300 + 1;
            const bool right = (i + q) % 3 != 0;
            conn.ExecuteStatement(
                "insert into "
                "answerSheet(考生编号,考试号,题号,题型,题目编号,科目,题干,答题,分值,得分)"
                " values(?,?,?,?,?,?,?,?,?,?)",
                file,
                {i, "1", q, q <= 60 ? QStringLiteral("单选题") : QStringLiteral("多选题"), question,
                 QStringLiteral("安全"), QStringLiteral("第%1题的题干").arg(question),
                 right ? "A" : "BC", "1", right ? "1" : "0"});
        }
    }
    transaction.Commit();
}

void ExamStatisticsAndItems(benchmark::State& state) {
    DataFolder folder;
    StoreAnswerSheets();
    size_t items = 0;
    for (auto _ : state) {
        const statistics::ExamFigures figures = statistics::LoadExamFigures("年度考试");
        benchmark::DoNotOptimize(
            statistics::Summarise(figures.scores, figures.enrolled, figures.passMark));
        benchmark::DoNotOptimize(statistics::Histogram(figures.scores, figures.fullMark));
        items = statistics::LoadItemAnalysis("年度考试").size();
    }
    if (items == 0) state.SkipWithError("no question analysed");
}
BENCHMARK(ExamStatisticsAndItems)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
