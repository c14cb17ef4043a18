// Examinee timings: importing a 10,000-row workbook (reading, checking, storing and
// removing duplicates) and listing 10,000 examinees on the registry screen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include "app/testseams.h"
#include "data/adoconn.h"
#include "data/schema.h"
#include "data/workbook.h"
#include "datafolder.h"
#include "rules/examineeimport.h"
#include "rules/examinees.h"
#include "ui/exams/exammanager.h"

namespace {

const QString kWorkbook = QStringLiteral(VEMO_BENCH_DATA "/examinees-10000.xls");
const QString kWorkbookXlsx = QStringLiteral(VEMO_BENCH_DATA "/examinees-10000.xlsx");

// A delivered data folder as the current directory for as long as it lives.
class DataFolder {
public:
    DataFolder() : m_previous(QDir::currentPath()) {
        QString error;
        if (!CreateDataFolder(m_dir.path(), QDateTime::currentDateTime(), &error))
            qFatal("%s", qPrintable(error));
        QDir::setCurrent(m_dir.path());
    }
    ~DataFolder() { QDir::setCurrent(m_previous); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

void EmptyRegistry() {
    CADOConn conn;
    conn.ExecuteStatement("delete from examinee", schema::kPersonnelFile);
}

void ImportWorkbook(benchmark::State& state, const QString& workbookPath) {
    DataFolder folder;
    examinee_import::Outcome outcome;
    for (auto _ : state) {
        state.PauseTiming();
        EmptyRegistry();
        state.ResumeTiming();
        QString error;
        const auto workbook = ReadWorkbook(workbookPath, &error);
        const Worksheet* sheet = workbook->Sheet(examinee_import::SheetName(), &error);
        const auto plan = examinee_import::PlanImport(*sheet);
        outcome = examinee_import::StoreExaminees(plan.rows);
    }
    if (!outcome.stored || outcome.read != 10000 || outcome.removed != 1000)
        state.SkipWithError("the import did not store what it should");
}
BENCHMARK_CAPTURE(ImportWorkbook, xls, kWorkbook)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportWorkbook, xlsx, kWorkbookXlsx)->Unit(benchmark::kMillisecond);

void ShowAllExaminees(benchmark::State& state) {
    DataFolder folder;
    EmptyRegistry();
    QString error;
    const auto workbook = ReadWorkbook(kWorkbook, &error);
    const auto plan =
        examinee_import::PlanImport(*workbook->Sheet(examinee_import::SheetName(), &error));
    std::vector<Examinee> rows = plan.rows;
    for (int i = 0; i < 1000; ++i)  // the workbook's duplicates, made distinct
        rows.push_back(
            {QStringLiteral("补充%1").arg(i), QStringLiteral("办公室"), QStringLiteral("文员")});
    examinee_import::StoreExaminees(rows);

    seams::StartRecording();
    CExamManager screen;
    screen.show();
    auto* showAll = screen.findChild<QPushButton*>("showAll");
    for (auto _ : state) {
        showAll->click();
        QApplication::processEvents();  // lay out and paint the visible rows
    }
    if (screen.ExamineeList()->model()->rowCount() != 10000)
        state.SkipWithError("the list does not hold every examinee");
    seams::StopRecording();
}
BENCHMARK(ShowAllExaminees)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetWorkbookReaderProgram(QStringLiteral(VEMO_WORKBOOK_READER));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
