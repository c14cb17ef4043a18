#include "app/screens.h"

#include <QDialog>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/screenflow.h"
#include "exam/examlogin.h"
#include "exam/vemodlg.h"
#include "rules/examticket.h"
#include "ui/bank/addquestion.h"
#include "ui/bank/examinandout.h"
#include "ui/bank/exampaper.h"
#include "ui/common/look.h"
#include "ui/exams/createexam.h"
#include "ui/exams/exammanagement.h"
#include "ui/exams/exammanager.h"
#include "ui/exams/importexaminee.h"
#include "ui/papers/setpaper.h"
#include "ui/papers/testmanage.h"
#include "ui/papers/wordpaper.h"
#include "ui/results/answersheetview.h"
#include "ui/results/checkscore.h"
#include "ui/results/handworkcorrect.h"
#include "ui/results/itemanalysis.h"
#include "ui/results/scoremap.h"
#include "ui/results/scorestatistics.h"
#include "ui/settings/variouset.h"
#include "ui/signin/admin.h"
#include "ui/signin/choosedatafolder.h"
#include "ui/signin/login.h"

namespace screens {
namespace {

using Maker = std::function<QDialog*(const QVariant& argument, QWidget* parent)>;

struct Entry {
    Id id;
    const char* className;
    Maker make;
};

template <class Screen>
Maker Plain() {
    return [](const QVariant&, QWidget* parent) { return new Screen(parent); };
}

const std::vector<Entry>& Table() {
    static const std::vector<Entry> table = {
        {Id::Login, "CLogin", Plain<CLogin>()},
        {Id::Admin, "CAdmin", Plain<CAdmin>()},
        {Id::DataFolder, "CChooseDataFolder",
         [](const QVariant& folder, QWidget* parent) {
             return new CChooseDataFolder(folder.toString(), parent);
         }},
        {Id::ExamManager, "CExamManager", Plain<CExamManager>()},
        {Id::ImportExaminee, "CImportExaminee",
         [](const QVariant& path, QWidget* parent) {
             return new CImportExaminee(path.toString(), parent);
         }},
        {Id::ExamLogin, "CExamLogin", Plain<CExamLogin>()},
        {Id::ExamWindow, "CVemoDlg",
         [](const QVariant& ticket, QWidget* parent) {
             return new CVemoDlg(ticket.value<ExamTicket>(), parent);
         }},
        {Id::CreateExam, "CCreateExam", Plain<CCreateExam>()},
        {Id::ExamManagement, "CExamManagement", Plain<CExamManagement>()},
        {Id::WordPaper, "CWordPaper",
         [](const QVariant& paperName, QWidget* parent) {
             return new CWordPaper(paperName.toString(), parent);
         }},
        {Id::SetPaper, "CSetPaper", Plain<CSetPaper>()},
        {Id::TestManage, "CTestManage", Plain<CTestManage>()},
        {Id::ExamInandout, "CExamInandout",
         [](const QVariant& modeAndPath, QWidget* parent) {
             const QStringList arguments = modeAndPath.toStringList();
             return new CExamInandout(arguments.value(0), arguments.value(1), parent);
         }},
        {Id::VariouSet, "CVariouSet", Plain<CVariouSet>()},
        {Id::ExamPaper, "CExamPaper", Plain<CExamPaper>()},
        {Id::AddQuestion, "CAddQuestion", Plain<CAddQuestion>()},
        {Id::CheckScore, "CCheckScore", Plain<CCheckScore>()},
        {Id::ScoreMap, "CScoreMap",
         [](const QVariant& sheet, QWidget* parent) {
             return new CScoreMap(sheet.value<ScoreSheet>(), parent);
         }},
        {Id::HandworkCorrect, "CHandworkCorrect", Plain<CHandworkCorrect>()},
        {Id::ScoreStatistics, "CScoreStatistics",
         [](const QVariant& examName, QWidget* parent) {
             return new CScoreStatistics(examName.toString(), parent);
         }},
        {Id::ItemAnalysis, "CItemAnalysis",
         [](const QVariant& examName, QWidget* parent) {
             return new CItemAnalysis(examName.toString(), parent);
         }},
        {Id::AnswerSheet, "CAnswerSheetView",
         [](const QVariant& registrationId, QWidget* parent) {
             return new CAnswerSheetView(registrationId.toString(), parent);
         }},
    };
    return table;
}

const Entry& Find(Id id) {
    for (const Entry& entry : Table())
        if (entry.id == id) return entry;
    qFatal("screen %d is missing from the screen table", static_cast<int>(id));
}

}  // namespace

QString ClassName(Id id) {
    return QString::fromLatin1(Find(id).className);
}

ScreenFactory Factory(Id id, const QVariant& argument) {
    return [make = Find(id).make, argument] {
        std::unique_ptr<QDialog> screen(make(argument, nullptr));
        look::Prepare(screen.get());
        return screen;
    };
}

void Go(QDialog* from, Id id, const QVariant& argument) {
    screenflow::Go(from, ClassName(id), Factory(id, argument));
}

int Open(QWidget* parent, Id id, const QVariant& argument) {
    std::unique_ptr<QDialog> dialog(Find(id).make(argument, parent));
    look::Prepare(dialog.get());
    const int result = dialog->exec();
    // Windows that came and went over the dialog (a message, the reading notice) can leave
    // no window active when it closes: the caller takes the keyboard back.
    if (parent) parent->window()->activateWindow();
    return result;
}

}  // namespace screens
