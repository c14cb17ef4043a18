// Opens the exam window on a fresh sample folder in a chosen state and keeps it on
// screen for a while, to look at it or take a screenshot:
//   vemo_exam_preview rules|N|review|resume [seconds]
// N shows question N with a sample answer; review hands the paper in and shows the
// marks. Message boxes are answered Yes and recorded, not shown. resume enters the sample
// exam twice on the exam selection screen, the second time as after a station crash, and
// shows the real prompt and password dialog.
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>

#include "app/testseams.h"
#include "data/adoconn.h"
#include "data/schema.h"
#include "exam/examlogin.h"
#include "exam/vemodlg.h"
#include "examfixture.h"
#include "preview.h"
#include "ui/common/checklist.h"

namespace {
void Answer(int number, const QString& answer) {
    CADOConn conn;
    conn.ExecuteStatement("update exam set 答题=? where 编号=?", schema::kPersonnelFile,
                          {answer, number});
}
// 张三 ticks the sample exam on the exam selection screen and enters it.
bool EnterSampleExam(CExamLogin& screen) {
    screen.findChild<QLineEdit*>("name")->setText(QStringLiteral("张三"));
    for (const auto& [name, text] : {std::pair{"department", "生产部"}, {"position", "操作工"}}) {
        auto* list = screen.findChild<QComboBox*>(name);
        list->setCurrentIndex(list->findText(QString::fromUtf8(text)));
    }
    screen.QueryExams();
    if (screen.ExamList()->rowCount() == 0) return false;
    screen.ExamList()->item(0, CExamLogin::kTickColumn)->setCheckState(Qt::Checked);
    return screen.EnterExam().has_value();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const Preview preview(argc, argv, "rules");
    const QString& state = preview.State();
    if (state == QLatin1String("resume")) {
        CExamLogin first;
        if (!EnterSampleExam(first)) return 1;
        CExamLogin again;
        again.show();
        return EnterSampleExam(again) ? 0 : 2;
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
    // The window refuses to close, so a plain quit would be refused too: the run exits.
    return preview.Run(recorder);
}
