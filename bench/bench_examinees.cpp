// Examinee timings: importing a 10,000-row workbook (reading, checking, storing and
// removing duplicates) into an empty registry and into one of 100,000, listing 10,000 and
// 100,000 examinees on the registry screen, and the examinee's way in (我要考试, 查询考试)
// with 100,000 registrations.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

#include "app/testseams.h"
#include "benchfolder.h"
#include "childcpu.h"
#include "data/adoconn.h"
#include "data/schema.h"
#include "data/workbook.h"
#include "datafolder.h"
#include "exam/examlogin.h"
#include "rules/examineeimport.h"
#include "rules/examinees.h"
#include "rules/exams.h"
#include "rules/signin.h"
#include "ui/exams/exammanager.h"

namespace {

const QString kWorkbook = QStringLiteral(VEMO_BENCH_DATA "/examinees-10000.xls");
const QString kWorkbookXlsx = QStringLiteral(VEMO_BENCH_DATA "/examinees-10000.xlsx");

void EmptyRegistry() {
    CADOConn conn;
    conn.ExecuteStatement("delete from examinee", schema::kPersonnelFile);
}

// n examinees of the sample folder's first department, named apart from the workbook's.
std::vector<Examinee> ManyExaminees(int n) {
    std::vector<Examinee> examinees;
    examinees.reserve(size_t(n));
    for (int i = 0; i < n; ++i)
        examinees.push_back(
            {QStringLiteral("考生%1").arg(i), QStringLiteral("生产部"), QStringLiteral("操作工")});
    return examinees;
}

void StoreRegistry(const std::vector<Examinee>& examinees) {
    CADOConn conn;
    conn.OpenDatabase(schema::kPersonnelFile);
    CTransaction transaction(conn);
    for (const Examinee& e : examinees)
        conn.ExecuteStatement("insert into examinee(姓名,部门,职务) values(?,?,?)",
                              schema::kPersonnelFile, {e.name, e.department, e.position});
    transaction.Commit();
}

// The workbook imported into a registry already holding state.range(0) examinees.
void ImportWorkbook(benchmark::State& state, const QString& workbookPath) {
    DataFolder folder;
    EmptyRegistry();
    StoreRegistry(ManyExaminees(int(state.range(0))));
    qint64 kept = 0;
    {
        CADOConn conn;
        auto last = conn.OpenRecordset("select max(ID) as m from examinee", schema::kPersonnelFile);
        kept = last->GetCollect("m").toLongLong();
    }
    examinee_import::Outcome outcome;
    const ChildCpu reader;
    for (auto _ : state) {
        state.PauseTiming();
        {
            CADOConn conn;
            conn.ExecuteStatement("delete from examinee where ID>?", schema::kPersonnelFile,
                                  {kept});
        }
        state.ResumeTiming();
        QString error;
        const auto workbook = ReadWorkbook(workbookPath, &error);
        const Worksheet* sheet = workbook->Sheet(examinee_import::SheetName(), &error);
        const auto plan = examinee_import::PlanImport(*sheet);
        outcome = examinee_import::StoreExaminees(plan.rows);
    }
    reader.Report(state);
    if (!outcome.stored || outcome.read != 10000 || outcome.removed != 1000)
        state.SkipWithError("the import did not store what it should");
}
BENCHMARK_CAPTURE(ImportWorkbook, xls, kWorkbook)
    ->Arg(0)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportWorkbook, xlsx, kWorkbookXlsx)->Arg(0)->Unit(benchmark::kMillisecond);

// 显示全部 with state.range(0) examinees.
void ShowAllExaminees(benchmark::State& state) {
    DataFolder folder;
    EmptyRegistry();
    const int count = int(state.range(0));
    QString error;
    const auto workbook = ReadWorkbook(kWorkbook, &error);
    const auto plan =
        examinee_import::PlanImport(*workbook->Sheet(examinee_import::SheetName(), &error));
    std::vector<Examinee> rows = plan.rows;
    for (int i = 0; i < 1000; ++i)  // the workbook's duplicates, made distinct
        rows.push_back(
            {QStringLiteral("补充%1").arg(i), QStringLiteral("办公室"), QStringLiteral("文员")});
    examinee_import::StoreExaminees(rows);
    StoreRegistry(ManyExaminees(count - 10000));

    seams::StartRecording();
    CExamManager screen;
    screen.show();
    auto* showAll = screen.findChild<QPushButton*>("showAll");
    for (auto _ : state) {
        showAll->click();
        QApplication::processEvents();  // lay out and paint the visible rows
    }
    if (screen.ExamineeList()->model()->rowCount() != count)
        state.SkipWithError("the list does not hold every examinee");
    seams::StopRecording();
}
BENCHMARK(ShowAllExaminees)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A sample folder plus an open exam of the sample paper for 100,000 examinees and 张三,
// taken by all but one in a thousand: the registrations sign-in and exam selection check.
class RegisteredFolder : public DataFolder {
public:
    RegisteredFolder() {
        std::vector<Examinee> examinees = ManyExaminees(99999);
        examinees.push_back(
            {QStringLiteral("张三"), QStringLiteral("生产部"), QStringLiteral("操作工")});
        StoreRegistry(examinees);
        CADOConn bank;
        auto paper = bank.OpenRecordset("select * from exampaper", schema::kQuestionsFile);
        exams::ExamForm form;
        form.name = QStringLiteral("规模考试");
        form.timeLimit = QStringLiteral("60");
        form.paperName = paper->GetText("名称");
        form.fullMarks = paper->GetText("满分");
        form.passMark = QStringLiteral("60");
        form.start = QDateTime::currentDateTime().addDays(-1);
        form.end = QDateTime::currentDateTime().addDays(7);
        exams::CreateExam(form, examinees);
        CADOConn conn;
        conn.ExecuteStatement("update ExamRegister set 成绩='90' where ID%1000<>0 and 姓名<>?",
                              schema::kPersonnelFile, {QStringLiteral("张三")});
    }
};

// 我要考试: the checks of every exam, registration count and unscored registration.
void SignInExaminee(benchmark::State& state) {
    RegisteredFolder folder;
    signin::EntryVerdict verdict = signin::EntryVerdict::NoExams;
    for (auto _ : state) verdict = signin::CheckExamineeEntry(QDateTime::currentDateTime());
    if (verdict != signin::EntryVerdict::Proceed) state.SkipWithError("entry refused");
}
BENCHMARK(SignInExaminee)->Unit(benchmark::kMillisecond);

// 查询考试 of 张三, registered in the sample exam and in the one of 100,000.
void QueryExams(benchmark::State& state) {
    RegisteredFolder folder;
    seams::StartRecording();
    CExamLogin screen;
    screen.show();
    screen.findChild<QLineEdit*>("name")->setText(QStringLiteral("张三"));
    auto* departments = screen.findChild<QComboBox*>("department");
    departments->setCurrentIndex(departments->findText(QStringLiteral("生产部")));
    auto* positions = screen.findChild<QComboBox*>("position");
    positions->setCurrentIndex(positions->findText(QStringLiteral("操作工")));
    QPushButton* query = nullptr;
    for (auto* button : screen.findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("查询考试")) query = button;
    for (auto _ : state) {
        query->click();
        QApplication::processEvents();
    }
    if (screen.findChild<QTableWidget*>("exams")->rowCount() != 2)
        state.SkipWithError("the two exams are not listed");
    seams::StopRecording();
}
BENCHMARK(QueryExams)->Unit(benchmark::kMillisecond);

}  // namespace
