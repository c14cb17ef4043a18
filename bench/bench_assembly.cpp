// Paper assembly timings: a 100-question paper drawn from 100,000 matching bank rows,
// once by one rule and once spread over the five types.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include "benchfolder.h"
#include "data/adoconn.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "rules/assembly.h"

namespace {

constexpr int kMatchingRows = 100000;

// A data folder in a temporary directory, made the current directory, whose bank holds
// `rowsPerType` matching questions of each listed type and one paper drawing
// `drawnPerType` of each.
class BankFolder {
public:
    BankFolder(const QStringList& types, int rowsPerType, int drawnPerType) {
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        for (const QString& file : {schema::kQuestionsFile, schema::kPersonnelFile}) {
            CADOConn::CreateDatabaseFile(file);
            CADOConn conn;
            conn.OpenDatabase(file);
            schema::CreatePermanentTables(conn, file);
        }
        CADOConn conn;
        conn.OpenDatabase(schema::kQuestionsFile);
        CTransaction transaction(conn);
        auto paper = conn.OpenRecordset("select * from exampaper", schema::kQuestionsFile);
        paper->AddNew();
        paper->PutCollect("名称", QStringLiteral("基准试卷"));
        paper->PutCollect("科目", QStringLiteral("安全生产"));
        for (const QString& type : qtype::Names()) {
            const bool drawn = types.contains(type);
            paper->PutCollect(
                type, drawn ? "每题1.0分。一线员工:简单=" + QString::number(drawnPerType) + ",;"
                            : QStringLiteral("空"));
            if (!drawn) continue;
            auto bank = conn.OpenRecordset("select * from " + type, schema::kQuestionsFile);
            for (int i = 0; i < rowsPerType; ++i) {
                bank->AddNew();
                bank->PutCollect("科目", QStringLiteral("安全生产"));
                bank->PutCollect("题型", type);
                bank->PutCollect("题干", QStringLiteral("第%1题：下列说法正确的是").arg(i));
                bank->PutCollect("答案", QStringLiteral("A"));
                for (const char* option : {"A", "B", "C", "D"})
                    bank->PutCollect(option, QStringLiteral("选项内容"));
                bank->PutCollect("难度", QStringLiteral("简单"));
                bank->PutCollect("对象", QStringLiteral("一线员工"));
                bank->Update();
            }
        }
        paper->PutCollect("科目选项", QStringLiteral("单科"));
        paper->Update();
        transaction.Commit();
    }
    ~BankFolder() { QDir::setCurrent(m_previous); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

void Assemble(benchmark::State& state, const BankFolder&) {
    assembly::MersenneRandom random;
    for (auto _ : state) {
        state.PauseTiming();
        FreshScratchTables();
        state.ResumeTiming();
        const auto result = assembly::AssemblePaper("单科", "基准试卷", random);
        if (result.answerKey.count('|') != 100) state.SkipWithError("paper not assembled");
    }
}

void HundredByOneRule(benchmark::State& state) {
    const BankFolder folder({"单选题"}, kMatchingRows, 100);
    Assemble(state, folder);
}
BENCHMARK(HundredByOneRule)->Unit(benchmark::kMillisecond)->MinTime(2);

void TwentyOfEachType(benchmark::State& state) {
    const BankFolder folder(qtype::Names(), kMatchingRows / 5, 20);
    Assemble(state, folder);
}
BENCHMARK(TwentyOfEachType)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
