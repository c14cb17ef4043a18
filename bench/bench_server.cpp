// The local files against a PostgreSQL server, side by side in one run: the hand-in of a
// paper of 190 answers with its answer sheet, storing one answer with the time used, a
// 100-question draw from 100,000 bank rows, and 100 stations
// handing in within the same second. Each reports the median and the worst time of one
// operation (one station's hand-in for the last). The server is the one named by
// VEMO_BENCH_SERVER_URL (a role that may create databases); each benchmark makes a database
// of its own there and drops it afterwards.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "benchfolder.h"
#include "data/adoconn.h"
#include "data/profile.h"
#include "data/schema.h"
#include "datafolder.h"
#include "rules/assembly.h"
#include "rules/examticket.h"
#include "rules/handin.h"
#include "rules/paperinprogress.h"

namespace {

constexpr int kQuestions = 190;
constexpr int kBankRows = 100000;
constexpr int kStations = 100;
const QString kExamName = QStringLiteral("安全生产月度考试");

enum Engine { kLocal = 0, kServer = 1 };

QString ServerUrl() {
    return qEnvironmentVariable("VEMO_BENCH_SERVER_URL");
}

bool RunOnServer(const QString& sql) {
    PGconn* conn = PQconnectdb(ServerUrl().toUtf8().constData());
    PGresult* result = PQexec(conn, sql.toUtf8().constData());
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    if (!ok) qWarning("%s", PQerrorMessage(conn));
    PQclear(result);
    PQfinish(conn);
    return ok;
}

// A delivered data folder as the current directory, its data in the local files or in a
// database of its own on the server.
class EngineFolder {
public:
    explicit EngineFolder(Engine engine) : m_previous(QDir::currentPath()) {
        QDir::setCurrent(m_dir.path());
        if (engine == kServer) {
            static int serial = 0;
            m_database = QStringLiteral("vemo_bench_%1_%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(++serial);
            const QString url = ServerUrl().left(ServerUrl().lastIndexOf('/') + 1) + m_database;
            if (!RunOnServer("CREATE DATABASE " + m_database +
                             " TEMPLATE template0 ENCODING 'UTF8'") ||
                !profile::WriteString("database", QString("url"), url, "vemoconf.ini"))
                qFatal("cannot make the benchmark's server database");
        }
        QString error;
        if (!CreateDataFolder(".", QDateTime::currentDateTime(), &error))
            qFatal("%s", qPrintable(error));
    }
    ~EngineFolder() {
        QDir::setCurrent(m_previous);
        if (!m_database.isEmpty()) RunOnServer("DROP DATABASE " + m_database + " WITH (FORCE)");
    }

private:
    QString m_previous;
    QTemporaryDir m_dir;
    QString m_database;
};

bool Skipped(benchmark::State& state) {
    if (state.range(0) == kServer && ServerUrl().isEmpty()) {
        state.SkipWithError("VEMO_BENCH_SERVER_URL is not set");
        return true;
    }
    return false;
}

void ReportTimes(benchmark::State& state, std::vector<double> milliseconds) {
    if (milliseconds.empty()) return;
    std::sort(milliseconds.begin(), milliseconds.end());
    state.counters["median_ms"] = milliseconds[milliseconds.size() / 2];
    state.counters["worst_ms"] = milliseconds.back();
}

// Registrations for `count` stations of the sample exam; their ids.
QStringList Register(int count) {
    const QString file = schema::kPersonnelFile;
    CADOConn conn;
    const QString examNo =
        conn.OpenRecordset("select * from ExamArrange where 考试名称=?", file, {kExamName})
            ->GetText("考试号");
    CTransaction transaction(conn);
    auto rows = conn.OpenRecordset("select * from ExamRegister where 0", file);
    QStringList ids;
    for (int i = 0; i < count; ++i) {
        rows->AddNew();
        rows->PutCollect("姓名", QStringLiteral("考生%1").arg(i));
        rows->PutCollect("部门", QStringLiteral("生产部"));
        rows->PutCollect("职务", QStringLiteral("操作工"));
        rows->PutCollect("考试号", examNo);
        rows->PutCollect("合格分数", "60");
        rows->Update();
        ids << rows->GetText("ID");
    }
    transaction.Commit();
    return ids;
}

ExamTicket TicketFor(const QString& registrationId) {
    return {QString(), kExamName, "60", registrationId, 60};
}

void HandInOf190Answers(benchmark::State& state) {
    if (Skipped(state)) return;
    const EngineFolder folder(Engine(state.range(0)));
    const QStringList answerList = StoreAnsweredPaper();
    const ExamTicket ticket = TicketFor(Register(1).first());
    std::vector<double> times;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        if (!handin::Store(ticket, answerList, 600, QDateTime::currentDateTime()))
            state.SkipWithError("hand-in failed");
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    ReportTimes(state, times);
}
BENCHMARK(HandInOf190Answers)
    ->ArgName("server")
    ->Arg(kLocal)
    ->Arg(kServer)
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

// Storing one answer with the time used, into the scratch table and the paper in progress of
// a 190-question paper, as 下一题 stores it.
void StoreOneAnswer(benchmark::State& state) {
    if (Skipped(state)) return;
    const EngineFolder folder(Engine(state.range(0)));
    const QStringList answerList = StoreAnsweredPaper();
    const QString id = Register(1).first();
    {
        CADOConn conn;
        conn.OpenDatabase(schema::kPersonnelFile);
        CTransaction transaction(conn);
        progress::Keep(conn, id, answerList);
        transaction.Commit();
    }
    std::vector<double> times;
    int n = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        progress::StoreAnswer(id, n % kQuestions + 1, n % 2 ? "A" : "B", n);
        times.push_back(timer.nsecsElapsed() / 1e6);
        ++n;
    }
    ReportTimes(state, times);
}
BENCHMARK(StoreOneAnswer)
    ->ArgName("server")
    ->Arg(kLocal)
    ->Arg(kServer)
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);

// 100,000 matching 单选题 made by doubling one row, and a paper drawing 100 of them.
void FillBank() {
    const QString file = schema::kQuestionsFile;
    const QString columns = QStringLiteral("科目,题型,题干,答案,A,B,C,D,难度,对象");
    CADOConn conn;
    conn.OpenDatabase(file);
    CTransaction transaction(conn);
    conn.ExecuteStatement("delete from 单选题", file);
    conn.ExecuteStatement("insert into 单选题(" + columns +
                              ") values('安全生产','单选题','下列说法正确的是','A','甲','乙',"
                              "'丙','丁','简单','一线员工')",
                          file);
    while (conn.CountRows("单选题", file) < kBankRows)
        conn.ExecuteStatement(
            "insert into 单选题(" + columns + ") select " + columns + " from 单选题", file);
    conn.ExecuteStatement(
        "delete from 单选题 where ID not in (select ID from 单选题 order by ID "
        "limit 100000)",
        file);
    conn.ExecuteStatement("delete from exampaper", file);
    conn.ExecuteStatement(
        "insert into exampaper(名称,科目,科目选项,单选题,判断题,填空题,多选题,问答题) "
        "values('基准试卷','安全生产','单科','每题1.0分。一线员工:简单=100,;','空','空','空','空')",
        file);
    transaction.Commit();
}

void DrawOf100From100000(benchmark::State& state) {
    if (Skipped(state)) return;
    const EngineFolder folder(Engine(state.range(0)));
    FillBank();
    assembly::MersenneRandom random;
    std::vector<double> times;
    for (auto _ : state) {
        state.PauseTiming();
        FreshScratchTables();
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        const auto result = assembly::AssemblePaper("单科", "基准试卷", random);
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (result.answerKey.count('|') != 100) state.SkipWithError("paper not drawn");
    }
    ReportTimes(state, times);
}
BENCHMARK(DrawOf100From100000)
    ->ArgName("server")
    ->Arg(kLocal)
    ->Arg(kServer)
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

// 100 stations, each a thread with its own sessions and its own paper, hand in at the same
// moment; the iteration's time is until the last has stored its result, the counters are
// one station's hand-in. On the local files the stations share the one file and its
// scratch table, as stations sharing a data folder would.
void HundredStationsAtOnce(benchmark::State& state) {
    if (Skipped(state)) return;
    const Engine engine = Engine(state.range(0));
    const EngineFolder folder(engine);
    const QStringList ids = Register(kStations);
    const QStringList localPaper = engine == kLocal ? StoreAnsweredPaper() : QStringList();
    std::vector<double> times;
    int failures = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::atomic<int> ready{0};
        std::atomic<bool> go{false};
        std::vector<double> own(kStations, 0);
        std::atomic<int> failed{0};
        std::vector<std::thread> stations;
        for (int i = 0; i < kStations; ++i)
            stations.emplace_back([&, i] {
                const QStringList answerList =
                    engine == kServer ? StoreAnsweredPaper() : localPaper;
                ++ready;
                while (!go) std::this_thread::yield();
                QElapsedTimer timer;
                timer.start();
                if (!handin::Store(TicketFor(ids[i]), answerList, 600,
                                   QDateTime::currentDateTime()))
                    ++failed;
                own[i] = timer.nsecsElapsed() / 1e6;
            });
        while (ready < kStations) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        state.ResumeTiming();
        go = true;
        for (std::thread& station : stations) station.join();
        state.PauseTiming();
        times.insert(times.end(), own.begin(), own.end());
        failures += failed;
        state.ResumeTiming();
    }
    state.counters["failed"] = failures;
    ReportTimes(state, times);
}
BENCHMARK(HundredStationsAtOnce)
    ->ArgName("server")
    ->Arg(kLocal)
    ->Arg(kServer)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
