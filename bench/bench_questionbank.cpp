// Question bank browser timings on a bank of 100,000 questions (20,000 of each type):
// 查询 and the paging buttons on the screen, side by side with a plain
// "select ... limit 50" of the same rows.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "app/testseams.h"
#include "data/adoconn.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "datafolder.h"
#include "rules/questionbank.h"
#include "ui/bank/exampaper.h"

namespace {

constexpr int kPerType = 20000;
const QString kColumns = QStringLiteral("ID,科目,题型,题干,答案,A,B,C,D,E,难度,对象");

// A delivered data folder with the large bank, the current directory while it lives.
class LargeBank {
public:
    LargeBank() : m_previous(QDir::currentPath()) {
        QString error;
        if (!CreateDataFolder(m_dir.path(), QDateTime::currentDateTime(), &error))
            qFatal("%s", qPrintable(error));
        QDir::setCurrent(m_dir.path());
        CADOConn conn;
        conn.OpenDatabase(schema::kQuestionsFile);
        CTransaction transaction(conn);
        for (const QString& type : qtype::Names())
            conn.ExecuteStatement("delete from " + type, schema::kQuestionsFile);
        const QStringList subjects = {QStringLiteral("安全生产"), QStringLiteral("规章制度")};
        for (const QString& type : qtype::Names())
            for (int i = 0; i < kPerType; ++i)
                conn.ExecuteStatement(
                    "insert into " + type +
                        "(科目,题型,题干,答案,A,B,C,D,难度,对象) "
                        "values(?,?,?,?,?,?,?,?,?,?)",
                    schema::kQuestionsFile,
                    {subjects[i % 2], type,
                     QStringLiteral("第%1题：下列关于安全生产责任制的说法中，正确的是").arg(i),
                     QStringLiteral("A"), QStringLiteral("选项甲"), QStringLiteral("选项乙"),
                     QStringLiteral("选项丙"), QStringLiteral("选项丁"), QStringLiteral("中等"),
                     QStringLiteral("一线员工")});
        transaction.Commit();
    }
    ~LargeBank() { QDir::setCurrent(m_previous); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

LargeBank& Bank() {
    static LargeBank bank;
    return bank;
}

// The browser with every type ticked, on its first page.
struct Browser {
    Browser() {
        seams::StartRecording();
        screen.show();
        for (auto* box : screen.findChildren<QCheckBox*>()) box->setChecked(true);
        Click("query");
    }
    ~Browser() { seams::StopRecording(); }
    void Click(const char* button) {
        screen.findChild<QPushButton*>(button)->click();
        QApplication::processEvents();  // lay out and paint the page
    }
    LargeBank& bank = Bank();  // the current directory before the screen reads it
    CExamPaper screen;
};

void Check(benchmark::State& state, const CExamPaper& screen, const QString& label,
           const QString& firstNumber) {
    if (screen.PageLabel()->text() != label || screen.QuestionList()->rowCount() != 50 ||
        screen.QuestionList()->item(0, 0)->text() != firstNumber)
        state.SkipWithError("the page is not the one expected");
}

void QueryFirstPage(benchmark::State& state) {
    Browser browser;
    for (auto _ : state) browser.Click("query");
    Check(state, browser.screen, "第 1 页  共 2000 页", "1");
}
BENCHMARK(QueryFirstPage)->Unit(benchmark::kMillisecond);

void QueryWithKeywordAndSubject(benchmark::State& state) {
    Browser browser;
    browser.screen.findChild<QLineEdit*>("keyword")->setText(QStringLiteral("8题"));
    browser.screen.findChild<QComboBox*>("subject")->setCurrentIndex(0);
    for (auto _ : state) browser.Click("query");
    // 第…8题 are the even numbers of 安全生产: 2,000 of each type.
    Check(state, browser.screen, "第 1 页  共 200 页", "1");
}
BENCHMARK(QueryWithKeywordAndSubject)->Unit(benchmark::kMillisecond);

void LastPageClick(benchmark::State& state) {
    Browser browser;
    for (auto _ : state) {
        state.PauseTiming();
        browser.Click("firstPage");
        state.ResumeTiming();
        browser.Click("lastPage");
    }
    Check(state, browser.screen, "第 2000 页  共 2000 页", "99951");
}
BENCHMARK(LastPageClick)->Unit(benchmark::kMillisecond);

void NextPageClickInTheMiddle(benchmark::State& state) {
    Browser browser;
    for (auto _ : state) {
        state.PauseTiming();
        browser.Click("previousPage");
        state.ResumeTiming();
        browser.Click("nextPage");
    }
    Check(state, browser.screen, "第 2 页  共 2000 页", "51");
}
BENCHMARK(NextPageClickInTheMiddle)->Unit(benchmark::kMillisecond);

// The rows of a page without the screen: the counts of five types and one slice.
void QueryPageRows(benchmark::State& state) {
    Bank();
    const bank::Filter filter{qtype::Names(), {}, {}};
    size_t rows = 0;
    for (auto _ : state) rows = bank::QueryPage(filter, 1001).rows.size();
    if (rows != 50) state.SkipWithError("the page does not hold 50 rows");
}
BENCHMARK(QueryPageRows)->Unit(benchmark::kMillisecond);

// The baseline: the same 50 rows by a plain select.
void PlainSelect(benchmark::State& state, const QString& type, int offset) {
    Bank();
    long rows = 0;
    for (auto _ : state) {
        CADOConn conn;
        auto rs = conn.OpenRecordset(
            "select " + kColumns + " from " + type + " order by ID limit 50 offset ?",
            schema::kQuestionsFile, {offset});
        rows = rs->RecordCount();
    }
    if (rows != 50) state.SkipWithError("the select did not give 50 rows");
}
BENCHMARK_CAPTURE(PlainSelect, FirstRows, QStringLiteral("单选题"), 0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlainSelect, LastRows, QStringLiteral("问答题"), kPerType - 50)
    ->Unit(benchmark::kMillisecond);

}  // namespace
