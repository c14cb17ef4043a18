// Opens a results screen on a fresh sample folder with stored scores and keeps it on
// screen for a while, to look at it or take a screenshot:
//   vemo_results_preview query|sheet|grading|answersheet [seconds]
// query lists every score, sheet shows the score sheet of six of them, grading ticks
// the first essay answer, answersheet shows the paper 张三 of the sample data handed in. Message
// boxes are recorded, not shown.
#include <QAbstractButton>
#include <memory>

#include "app/testseams.h"
#include "preview.h"
#include "rules/results.h"
#include "scorefixture.h"
#include "ui/common/checklist.h"
#include "ui/results/answersheetview.h"
#include "ui/results/checkscore.h"
#include "ui/results/handworkcorrect.h"
#include "ui/results/scoremap.h"

namespace {

struct Sample {
    const char* name;
    const char* department;
    const char* position;
    const char* score;
    const char* time;
    bool essays;
};
const Sample kSamples[] = {
    {"张三", "生产部", "操作工", "92.5", "1520", false},
    {"李四", "生产部", "班组长", "60", "2210", false},
    {"欧阳建国", "安全生产管理部门", "安全员", "85", "1800", false},
    {"王五", "技术部", "工程师", "47", "3300", false},
    {"赵六", "安全部", "安全员", "71", "1190", true},
    {"司马长风", "办公室", "文员", "88.5", "960", false},
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const Preview preview(argc, argv, "query");
    const QString& state = preview.State();
    for (const Sample& sample : kSamples) {
        StoredScore s;
        s.name = QString::fromUtf8(sample.name);
        s.department = QString::fromUtf8(sample.department);
        s.position = QString::fromUtf8(sample.position);
        s.score = sample.score;
        s.timeUsed = sample.time;
        s.essays = sample.essays;
        const qlonglong id = StoreScore(s);
        if (sample.essays) StoreEssay(id, s);
    }
    const QString handedIn =
        state == QLatin1String("answersheet")
            ? HandInSamplePaper([](int n, const QString& type,
                                   const QString& reference) -> std::optional<QString> {
                  if (n % 3 == 0) return std::nullopt;  // about two in three answered
                  if (type == QStringLiteral("填空题")) return reference.section('#', 0, 0) + "#错";
                  if (type == QStringLiteral("问答题"))
                      return QStringLiteral("立即报警，\r\n说明起火地点。");
                  return n % 4 == 0 ? QStringLiteral("B") : reference;
              })
            : QString();
    seams::Recorder& recorder = seams::StartRecording();
    std::unique_ptr<QDialog> screen;
    if (state == QLatin1String("answersheet")) {
        screen = std::make_unique<CAnswerSheetView>(handedIn);
    } else if (state == QLatin1String("sheet")) {
        std::vector<results::ListedRow> rows;
        int number = 0;
        std::vector<results::ScoreRow> scored;
        results::CheckAndListAll(&scored);
        for (const results::ScoreRow& row : scored)
            rows.push_back({QString::number(++number), row});
        results::ExportPlan plan = results::PlanExport(int(rows.size()), rows, true);
        plan.sheet.paperName = results::PaperOf(plan.sheet.examName);
        screen = std::make_unique<CScoreMap>(plan.sheet);
    } else if (state == QLatin1String("grading")) {
        auto grading = std::make_unique<CHandworkCorrect>();
        grading->AnswerList()->SetTicked(0, true);
        screen = std::move(grading);
    } else {
        auto query = std::make_unique<CCheckScore>();
        query->findChild<QAbstractButton*>(QStringLiteral("showAll"))->click();
        screen = std::move(query);
    }
    screen->show();
    return preview.Run(recorder);
}
