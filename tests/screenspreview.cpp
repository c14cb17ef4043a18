// Opens every screen of the screen table in turn on a fresh sample folder (with sample
// scores and a drawn exam paper) and writes a picture of the whole display after each,
// then the list screens again maximised, and last a message box:
//   vemo_screens_preview FOLDER
// tools/screenshots.sh runs it on virtual displays of several sizes. The screens' own
// message boxes are recorded, not shown.
#include <QAbstractButton>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/messagebox.h"
#include "app/screens.h"
#include "app/testseams.h"
#include "data/adoconn.h"
#include "data/schema.h"
#include "examfixture.h"
#include "preview.h"
#include "rules/scoresheet.h"
#include "scorefixture.h"

namespace {

void Wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

QString FirstPaperName() {
    CADOConn conn;
    return conn.OpenRecordset("select * from exampaper", schema::kQuestionsFile)->GetText("名称");
}

QVariant ArgumentFor(screens::Id id) {
    const QString samples = QStringLiteral(VEMO_SAMPLE_WORKBOOKS);
    switch (id) {
        case screens::Id::ImportExaminee:
            return QDir(samples).filePath(QStringLiteral("examinee.xls"));
        case screens::Id::ExamInandout:
            return QStringList{QStringLiteral("导入"), QDir(samples).filePath("questions.xls")};
        case screens::Id::WordPaper:
            return FirstPaperName();
        case screens::Id::ScoreMap:
            return QVariant::fromValue(SampleSheet());
        case screens::Id::ExamWindow:
            return QVariant::fromValue(TicketFor(DrawIntoExamTable(SamplePaper())));
        default:
            return QVariant();
    }
}

void Shoot(QDialog& screen, const QString& path) {
    Wait(700);
    screen.screen()->grabWindow(0).save(path);
    std::printf("%s %dx%d\n", qPrintable(path), screen.width(), screen.height());
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const Preview preview(argc, argv, "screenshots");
    const QDir out(preview.State());
    StoreSampleScores();
    seams::Recorder& recorder = seams::StartRecording();
    const screens::Id listScreens[] = {screens::Id::ExamPaper, screens::Id::ExamManager,
                                       screens::Id::TestManage, screens::Id::ExamManagement,
                                       screens::Id::CheckScore};
    for (int i = 0; i <= int(screens::Id::HandworkCorrect); ++i) {
        const auto id = static_cast<screens::Id>(i);
        const std::unique_ptr<QDialog> screen = screens::Factory(id, ArgumentFor(id))();
        if (id == screens::Id::CheckScore)
            screen->findChild<QAbstractButton*>(QStringLiteral("showAll"))->click();
        screen->show();
        Shoot(*screen, out.filePath(QStringLiteral("%1-%2.png")
                                        .arg(i, 2, 10, QLatin1Char('0'))
                                        .arg(screens::ClassName(id))));
        if (std::find(std::begin(listScreens), std::end(listScreens), id) !=
            std::end(listScreens)) {
            screen->showMaximized();
            Shoot(*screen, out.filePath(QStringLiteral("%1-%2-maximised.png")
                                            .arg(i, 2, 10, QLatin1Char('0'))
                                            .arg(screens::ClassName(id))));
        }
    }
    for (const seams::ShownMessage& m : recorder.messages)
        std::printf("message: %s\n", qPrintable(m.text));

    // One message box as it is shown, over the sign-in screen.
    seams::StopRecording();
    const std::unique_ptr<QDialog> login = screens::Factory(screens::Id::Login)();
    login->show();
    QTimer::singleShot(700, login.get(), [&out] {
        QWidget* box = QApplication::activeModalWidget();
        QGuiApplication::primaryScreen()->grabWindow(0).save(out.filePath("99-message.png"));
        if (box) box->close();
    });
    msgbox::Prompt(login.get(), QStringLiteral("用户名或密码不正确!"));
    return 0;
}
