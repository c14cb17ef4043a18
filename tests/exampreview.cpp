// Opens the exam window on a fresh sample folder in a chosen state and keeps it on
// screen for a while, to look at it or take a screenshot:
//   vemo_exam_preview rules|N|review [seconds]
// N shows question N with a sample answer; review hands the paper in and shows the
// marks. Message boxes are answered Yes and recorded, not shown.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/testseams.h"
#include "app/vemoapp.h"
#include "data/adoconn.h"
#include "data/schema.h"
#include "datafolder.h"
#include "exam/vemodlg.h"
#include "examfixture.h"

namespace {
void Answer(int number, const QString& answer) {
    CADOConn conn;
    conn.ExecuteStatement("update exam set 答题=? where 编号=?", schema::kPersonnelFile,
                          {answer, number});
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CVemoApp::PrepareDesktop();
    const QString state = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("rules");
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 5;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QString error;
    if (!CreateDataFolder(".", QDateTime::currentDateTime(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const ExamTicket ticket = TicketFor(DrawIntoExamTable(SamplePaper()));
    Answer(1, "B");
    Answer(3, "A");
    Answer(4, "36");
    Answer(5, QStringLiteral("每月#红"));
    Answer(6, "AC");
    Answer(7, QStringLiteral("拨打119报警，\r\n说明起火地点和火势。"));
    seams::Recorder& recorder = seams::StartRecording();
    recorder.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    CVemoDlg window(ticket);
    window.show();
    if (state != QLatin1String("rules")) {
        window.StartExam();
        if (state == QLatin1String("review"))
            window.HandIn();
        else
            window.JumpToQuestion(state.toInt());
    }
    // The window refuses to close, so a plain quit would be refused too.
    QTimer::singleShot(seconds * 1000, &app, [&recorder] {
        for (const seams::ShownMessage& m : recorder.messages)
            std::printf("message: %s\n", qPrintable(m.text));
        QCoreApplication::exit(0);
    });
    return app.exec();
}
