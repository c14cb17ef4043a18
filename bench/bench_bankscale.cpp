// Paper assembly from a bank of a million questions, in folders made by
// bench/make-bank.py (not committed: they are large):
//   VEMO_BENCH_BANK      realistic bank, paper 规模试卷 (15 rule items, 190 questions)
//   VEMO_BENCH_MATCHING  one million matching 单选题, paper 百题试卷 (100 by one rule)
// A benchmark whose folder is not given is skipped.
#include <benchmark/benchmark.h>

#include <QDir>

#include "benchfolder.h"
#include "data/adoconn.h"
#include "data/schema.h"
#include "rules/assembly.h"

namespace {

void AssembleIn(benchmark::State& state, const char* folderVariable, const QString& paper,
                int questions) {
    const QString folder = qEnvironmentVariable(folderVariable);
    if (folder.isEmpty()) {
        state.SkipWithError((std::string(folderVariable) + " is not set").c_str());
        return;
    }
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    assembly::MersenneRandom random;
    for (auto _ : state) {
        state.PauseTiming();
        FreshScratchTables();
        state.ResumeTiming();
        const auto result = assembly::AssemblePaper("单科", paper, random);
        if (result.answerKey.count('|') != questions) {
            state.SkipWithError("paper not assembled");
            break;
        }
    }
    QDir::setCurrent(previous);
}

void RealisticBankPaper(benchmark::State& state) {
    AssembleIn(state, "VEMO_BENCH_BANK", QStringLiteral("规模试卷"), 190);
}
BENCHMARK(RealisticBankPaper)->Unit(benchmark::kMillisecond)->MinTime(2);

void HundredFromMatchingBank(benchmark::State& state) {
    AssembleIn(state, "VEMO_BENCH_MATCHING", QStringLiteral("百题试卷"), 100);
}
BENCHMARK(HundredFromMatchingBank)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
