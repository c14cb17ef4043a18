// Opens a results screen on a fresh sample folder with stored scores and keeps it on
// screen for a while, to look at it or take a screenshot:
//   vemo_results_preview query|ranking|sheet|grading|statistics|items|answersheet|xlsx [seconds]
// query lists every score, ranking ranks the exam, sheet shows the score sheet of six of
// them, grading ticks the first essay answer, statistics and items show the figures of
// the exam, answersheet shows the paper 张三 of the sample data handed in. xlsx exports
// the ranking to ranking.xlsx and writes the list as shown to ranking.csv, both in the
// folder named by VEMO_PREVIEW_OUT, for tools/check-xlsx-export.sh.
// Message boxes are recorded, not shown.
#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <memory>

#include "app/testseams.h"
#include "preview.h"
#include "rules/results.h"
#include "scorefixture.h"
#include "ui/common/checklist.h"
#include "ui/common/checktable.h"
#include "ui/results/answersheetview.h"
#include "ui/results/checkscore.h"
#include "ui/results/handworkcorrect.h"
#include "ui/results/itemanalysis.h"
#include "ui/results/scoremap.h"
#include "ui/results/scorestatistics.h"

namespace {

// The list as shown, comma-separated as LibreOffice saves it: text in quotes, numbers
// (the scores) bare, empty cells empty.
void WriteListCsv(CCheckScore& query, const QString& path) {
    CCheckTable* list = query.ScoreList();
    auto quoted = [](const QString& text) { return '"' + text + '"'; };
    QStringList lines;
    QStringList header;
    for (int column = 1; column < list->model()->columnCount(); ++column)
        if (!list->isColumnHidden(column))
            header << quoted(list->model()->headerData(column, Qt::Horizontal).toString());
    lines << header.join(',');
    for (int row = 0; row < list->rowCount(); ++row) {
        QStringList cells;
        for (int column = 1; column < list->model()->columnCount(); ++column) {
            if (list->isColumnHidden(column)) continue;
            const QString text = list->Text(row, column);
            cells << (text.isEmpty() || column == CCheckScore::kScoreColumn ? text : quoted(text));
        }
        lines << cells.join(',');
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write((lines.join('\n') + '\n').toUtf8());
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const Preview preview(argc, argv, "query");
    const QString& state = preview.State();
    StoreSampleScores();
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
        screen = std::make_unique<CScoreMap>(SampleSheet());
    } else if (state == QLatin1String("grading")) {
        auto grading = std::make_unique<CHandworkCorrect>();
        grading->AnswerList()->SetTicked(0, true);
        screen = std::move(grading);
    } else if (state == QLatin1String("statistics")) {
        screen = std::make_unique<CScoreStatistics>(kSampleExam);
    } else if (state == QLatin1String("items")) {
        screen = std::make_unique<CItemAnalysis>(kSampleExam);
    } else if (state == QLatin1String("ranking") || state == QLatin1String("xlsx")) {
        auto query = std::make_unique<CCheckScore>();
        auto* exams = query->findChild<QComboBox*>(QStringLiteral("examName"));
        exams->setCurrentIndex(exams->findText(kSampleExam));
        query->findChild<QAbstractButton*>(QStringLiteral("rank"))->click();
        if (state == QLatin1String("xlsx")) {
            const QString out = qEnvironmentVariable("VEMO_PREVIEW_OUT");
            recorder.saveFileAnswers = {out + "/ranking.xlsx"};
            query->findChild<QAbstractButton*>(QStringLiteral("exportExcel"))->click();
            WriteListCsv(*query, out + "/ranking.csv");
            return recorder.messages.size() == 1 && recorder.messages[0].text.startsWith("已导出")
                       ? 0
                       : 1;
        }
        screen = std::move(query);
    } else {
        auto query = std::make_unique<CCheckScore>();
        query->findChild<QAbstractButton*>(QStringLiteral("showAll"))->click();
        screen = std::move(query);
    }
    screen->show();
    return preview.Run(recorder);
}
