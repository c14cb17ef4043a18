// Opens a results screen on a fresh sample folder with stored scores and keeps it on
// screen for a while, to look at it or take a screenshot:
//   vemo_results_preview query|ranking|sheet|grading|statistics|items|xlsx [seconds]
// query lists every score, ranking ranks the exam, sheet shows the score sheet of six of
// them, grading ticks the first essay answer, statistics and items show the figures of
// the exam. xlsx exports the ranking to ranking.xlsx and writes the list as shown to
// ranking.csv, both in the folder named by VEMO_PREVIEW_OUT, for tools/check-xlsx-export.sh.
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
#include "ui/results/checkscore.h"
#include "ui/results/handworkcorrect.h"
#include "ui/results/itemanalysis.h"
#include "ui/results/scoremap.h"
#include "ui/results/scorestatistics.h"

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
    {"王五", "技术部", "工程师", "85", "3300", false},
    {"赵六", "安全部", "安全员", "71", "1190", true},
    {"司马长风", "办公室", "文员", "88.5", "960", false},
};

// An exam of its own, so the sample folder's registrations do not join it.
const QString kExam = QStringLiteral("年度安全知识考试");
const QString kExamNo = QStringLiteral("9");

// Answer sheets of twelve questions for every sample examinee, answered the better the
// higher the examinee's score: one question everybody gets right, one that the weaker
// examinees get right more often, and an essay graded for all but one.
void StoreSheets(const std::vector<std::pair<qlonglong, double>>& examinees) {
    for (const auto& [id, score] : examinees) {
        for (int q = 1; q <= 12; ++q) {
            const bool right = q == 1 || (q == 11 ? score < 80 : score > 35 + q * 5 - (id % 3) * 6);
            StoredAnswer a;
            a.registration = id;
            a.examNo = kExamNo;
            a.number = q;
            a.type = q <= 6 ? "单选题" : q <= 8 ? "判断题" : q <= 11 ? "多选题" : "问答题";
            a.questionId = 100 + q;
            a.answer = right ? QString("A") : QString(q % 2 ? "B" : "CD");
            a.points = q == 12 ? "10" : "5";
            a.earned = right ? a.points : "0";
            if (q == 12) {
                a.answer = QStringLiteral("先报警，再疏散。");
                a.earned = score > 80 ? "8" : score > 60 ? "5" : id % 2 ? "" : "2";
            }
            StoreAnswer(a);
        }
    }
}

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
    std::vector<std::pair<qlonglong, double>> sheets;
    for (const Sample& sample : kSamples) {
        StoredScore s;
        s.name = QString::fromUtf8(sample.name);
        s.department = QString::fromUtf8(sample.department);
        s.position = QString::fromUtf8(sample.position);
        s.score = sample.score;
        s.timeUsed = sample.time;
        s.essays = sample.essays;
        s.examName = kExam;
        s.examNo = kExamNo;
        const qlonglong id = StoreScore(s);
        if (sample.essays) StoreEssay(id, s);
        sheets.emplace_back(id, s.score.toDouble());
    }
    StoredScore absent;
    absent.name = QStringLiteral("周八");
    absent.department = QStringLiteral("后勤部");
    absent.position = QStringLiteral("司机");
    absent.examNo = kExamNo;
    StoreUnscored(absent);
    StoreSheets(sheets);
    seams::Recorder& recorder = seams::StartRecording();
    std::unique_ptr<QDialog> screen;
    if (state == QLatin1String("sheet")) {
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
    } else if (state == QLatin1String("statistics")) {
        screen = std::make_unique<CScoreStatistics>(kExam);
    } else if (state == QLatin1String("items")) {
        screen = std::make_unique<CItemAnalysis>(kExam);
    } else if (state == QLatin1String("ranking") || state == QLatin1String("xlsx")) {
        auto query = std::make_unique<CCheckScore>();
        auto* exams = query->findChild<QComboBox*>(QStringLiteral("examName"));
        exams->setCurrentIndex(exams->findText(kExam));
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
