// Question import timings: a 10,000-question 单选题 sheet with 1,000 repeats, read,
// checked, stored and de-duplicated, against raw SQLite prepared inserts of the same
// rows into the same table; and one workbook saved as .xls and as .xlsx, imported side
// by side.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDir>
#include <QTemporaryDir>

#include "benchfolder.h"
#include "childcpu.h"
#include "data/adoconn.h"
#include "data/schema.h"
#include "data/workbook.h"
#include "datafolder.h"
#include "rules/questionimport.h"

namespace {

const QString kWorkbook = QStringLiteral(VEMO_BENCH_DATA "/questions-10000.xls");
const QString kType = QStringLiteral("单选题");

// Workbooks are read by the helper program of the build tree, as the program reads them.
const bool kWorkbookReaderOfTheBuild = [] {
    SetWorkbookReaderProgram(QStringLiteral(VEMO_WORKBOOK_READER));
    return true;
}();

void EmptyBank() {
    CADOConn conn;
    conn.ExecuteStatement("delete from " + kType, schema::kQuestionsFile);
}

std::vector<question_import::Question> PlannedRows() {
    QString error;
    const auto workbook = ReadWorkbook(kWorkbook, &error);
    if (!workbook) qFatal("%s", qPrintable(error));
    return question_import::PlanImport(*workbook->Sheet(kType, &error), kType).rows;
}

// The whole import as the dialog runs it: read, check, store, remove the repeats.
void Import(benchmark::State& state, const QString& path, int repeats) {
    DataFolder folder;
    question_import::Outcome outcome;
    const ChildCpu reader;
    for (auto _ : state) {
        state.PauseTiming();
        EmptyBank();
        state.ResumeTiming();
        QString error;
        const auto workbook = ReadWorkbook(path, &error);
        if (!workbook) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        const auto plan = question_import::PlanImport(*workbook->Sheet(kType, &error), kType);
        outcome = question_import::StoreQuestions(kType, plan.rows);
    }
    reader.Report(state);
    if (!outcome.stored || outcome.read != 10000 || outcome.removed != repeats)
        state.SkipWithError("the import did not store what it should");
}

void ImportQuestions(benchmark::State& state) {
    Import(state, kWorkbook, 1000);
}
BENCHMARK(ImportQuestions)->Unit(benchmark::kMillisecond);

// The same 10,000 questions (no repeats) saved by one program in both formats.
void ImportQuestionsFrom(benchmark::State& state, const char* file) {
    Import(state, QStringLiteral(VEMO_BENCH_DATA "/") + QString::fromLatin1(file), 0);
}
BENCHMARK_CAPTURE(ImportQuestionsFrom, xls, "single-choice-10000.xls")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportQuestionsFrom, xlsx, "single-choice-10000.xlsx")
    ->Unit(benchmark::kMillisecond);

// Reading and checking only.
void ReadAndPlan(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(PlannedRows());
}
BENCHMARK(ReadAndPlan)->Unit(benchmark::kMillisecond);

// Storing and de-duplicating only, the rows already read and checked.
void StoreQuestions(benchmark::State& state) {
    DataFolder folder;
    const auto rows = PlannedRows();
    for (auto _ : state) {
        state.PauseTiming();
        EmptyBank();
        state.ResumeTiming();
        benchmark::DoNotOptimize(question_import::StoreQuestions(kType, rows));
    }
}
BENCHMARK(StoreQuestions)->Unit(benchmark::kMillisecond);

void Bind(sqlite3_stmt* stmt, int index, const QString& text) {
    if (text.isNull())
        sqlite3_bind_null(stmt, index);
    else
        sqlite3_bind_text16(stmt, index, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
}

// The baseline: the same rows through one prepared insert in one transaction.
void RawSqliteInserts(benchmark::State& state) {
    DataFolder folder;
    const auto rows = PlannedRows();
    for (auto _ : state) {
        state.PauseTiming();
        EmptyBank();
        state.ResumeTiming();
        sqlite3* db = nullptr;
        sqlite3_open(schema::kQuestionsFile.toUtf8().constData(), &db);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO 单选题(科目,题型,题干,答案,A,B,C,D,E,难度,对象) "
                           "VALUES(?,?,?,?,?,?,?,?,?,?,?)",
                           -1, &stmt, nullptr);
        for (const auto& q : rows) {
            Bind(stmt, 1, q.subject);
            Bind(stmt, 2, q.type);
            Bind(stmt, 3, q.stem);
            Bind(stmt, 4, q.answer);
            for (int o = 0; o < 5; ++o) Bind(stmt, 5 + o, q.options.value(o));
            Bind(stmt, 10, q.difficulty);
            Bind(stmt, 11, q.group);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
}
BENCHMARK(RawSqliteInserts)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
