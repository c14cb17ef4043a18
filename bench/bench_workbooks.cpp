// Reading the same 10,000-row workbooks as .xls (FreeXL) and as .xlsx (QuaZip and the
// byte scanner for shared strings and sheets): the part of an import that differs
// between the formats.
#include <benchmark/benchmark.h>

#include "data/workbook.h"

namespace {

void ReadWorkbookFile(benchmark::State& state, const char* file, const char* sheetName,
                      size_t rows) {
    const QString path = QStringLiteral(VEMO_BENCH_DATA "/") + QString::fromLatin1(file);
    size_t read = 0;
    for (auto _ : state) {
        QString error;
        const auto workbook = ReadWorkbookHere(path, &error);
        const Worksheet* sheet =
            workbook ? workbook->Sheet(QString::fromUtf8(sheetName), &error) : nullptr;
        read = sheet ? sheet->rows.size() : 0;
    }
    if (read != rows) state.SkipWithError("the workbook did not give every row");
}

BENCHMARK_CAPTURE(ReadWorkbookFile, examinees_xls, "examinees-10000.xls", "Sheet1", 10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadWorkbookFile, examinees_xlsx, "examinees-10000.xlsx", "Sheet1", 10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadWorkbookFile, questions_xls, "single-choice-10000.xls", "单选题", 10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadWorkbookFile, questions_xlsx, "single-choice-10000.xlsx", "单选题", 10000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
