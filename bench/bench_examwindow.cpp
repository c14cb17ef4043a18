// Exam window timings on a paper of 190 questions, the most its panel is laid out for:
// setting the window up, moving to the next question (storing the answer on screen)
// and handing in (scoring, storing the result, opening review).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QRadioButton>
#include <QTemporaryDir>

#include "app/testseams.h"
#include "benchfolder.h"
#include "data/adoconn.h"
#include "data/schema.h"
#include "datafolder.h"
#include "exam/vemodlg.h"
#include "rules/answers.h"
#include "rules/paperinprogress.h"

namespace {

constexpr int kQuestions = 190;

// 50 单选题, 40 判断题, 40 填空题, 40 多选题, 20 问答题, all answered.
ExamTicket DrawLargePaper() {
    const QString key = StoreAnsweredPaper().join('|') + '|';
    const QString file = schema::kPersonnelFile;
    CADOConn conn;
    auto registration = conn.OpenRecordset("select * from ExamRegister", file);
    ExamTicket ticket;
    ticket.answerKey = key;
    ticket.examName = QStringLiteral("安全生产月度考试");
    ticket.timeLimit = QStringLiteral("60");
    ticket.registrationId = registration->GetText("ID");
    ticket.passMark = registration->GetText("合格分数").toInt();
    // Kept durable as the draw keeps it, so that storing an answer costs what it does.
    CTransaction transaction(conn);
    progress::Keep(conn, ticket.registrationId, answers::SplitAnswerKey(key));
    transaction.Commit();
    return ticket;
}

class ExamFolder {
public:
    ExamFolder() {
        QDir::setCurrent(m_dir.path());
        CreateDataFolder(".", QDateTime::currentDateTime(), nullptr);
        ticket = DrawLargePaper();
    }
    ExamTicket ticket;

private:
    QTemporaryDir m_dir;
};

void WindowSetUp(benchmark::State& state) {
    ExamFolder folder;
    for (auto _ : state) {
        CVemoDlg window(folder.ticket);
        window.show();
        benchmark::DoNotOptimize(window.TypeCounts());
    }
}
BENCHMARK(WindowSetUp)->Unit(benchmark::kMillisecond);

void NextQuestion(benchmark::State& state) {
    ExamFolder folder;
    CVemoDlg window(folder.ticket);
    window.show();
    window.StartExam();
    for (auto _ : state) {
        if (window.CurrentQuestion() == kQuestions) {
            state.PauseTiming();
            window.JumpToQuestion(1);
            state.ResumeTiming();
        }
        window.NextQuestion();
    }
}
BENCHMARK(NextQuestion)->Unit(benchmark::kMillisecond);

void HandIn(benchmark::State& state) {
    ExamFolder folder;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<CVemoDlg>(folder.ticket);
        window->show();
        window->StartExam();
        seams::Active()->answers = {MsgAnswer::Yes};
        state.ResumeTiming();
        window->HandIn();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(HandIn)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Message boxes and notices are answered, not shown.
    seams::StartRecording();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
