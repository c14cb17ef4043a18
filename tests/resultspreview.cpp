// Opens a results screen on a fresh sample folder with stored scores and keeps it on
// screen for a while, to look at it or take a screenshot:
//   vemo_results_preview query|sheet|grading [seconds]
// query lists every score, sheet shows the score sheet of six of them, grading ticks
// the first essay answer. Message boxes are recorded, not shown.
#include <QAbstractButton>
#include <memory>

#include "app/testseams.h"
#include "preview.h"
#include "rules/results.h"
#include "scorefixture.h"
#include "ui/common/checklist.h"
#include "ui/results/checkscore.h"
#include "ui/results/handworkcorrect.h"
#include "ui/results/scoremap.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const Preview preview(argc, argv, "query");
    const QString& state = preview.State();
    StoreSampleScores();
    seams::Recorder& recorder = seams::StartRecording();
    std::unique_ptr<QDialog> screen;
    if (state == QLatin1String("sheet")) {
        screen = std::make_unique<CScoreMap>(SampleSheet());
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
