#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>

#include "data/adoconn.h"
#include "data/md5encrypt.h"
#include "data/schema.h"
#include "exam/examlogin.h"
#include "exam/vemodlg.h"
#include "examfixture.h"
#include "guitest.h"
#include "ui/common/checklist.h"
#include "ui/common/checktable.h"
#include "ui/common/showmap.h"
#include "ui/exams/exammanager.h"
#include "ui/results/checkscore.h"
#include "ui/results/handworkcorrect.h"
#include "ui/results/scoremap.h"
#include "ui/signin/login.h"

namespace {

const QString kPersonnel = schema::kPersonnelFile;
const QString kQuestions = schema::kQuestionsFile;

// One examinee's whole road on the delivered sample data: from the sign-in screen
// through exam selection and the exam window to the stored result.
class EndToEnd : public GuiTest {
protected:
    // The screen the last navigation leads to, as the program would show it.
    template <class Screen>
    std::unique_ptr<Screen> Next(const char* name) {
        EXPECT_FALSE(recorder->navigations.isEmpty());
        if (recorder->navigations.isEmpty()) return nullptr;
        EXPECT_EQ(recorder->navigations.last().screen, name);
        std::unique_ptr<QDialog> next = recorder->TakeNextScreen();
        auto* screen = dynamic_cast<Screen*>(next.get());
        if (screen) next.release();
        return std::unique_ptr<Screen>(screen);
    }

    struct Question {
        QString type, stem, reference, points;
    };
    // The question on screen as the paper holds it, with its reference from the bank.
    static Question Current(int number) {
        CADOConn conn;
        auto row = conn.OpenRecordset("select * from exam where 编号=?", kPersonnel, {number});
        Question q{row->GetText("题型"), row->GetText("题干"), QString(), row->GetText("分值")};
        conn.CloseDatabase();
        q.reference =
            conn.OpenRecordset("select * from " + q.type + " where 题干=?", kQuestions, {q.stem})
                ->GetText("答案");
        return q;
    }

    // Gives the right answer through the controls of its type.
    void Answer(CVemoDlg& window, const Question& q) {
        const QString letters = "ABCDE";
        if (q.type == QStringLiteral("单选题")) {
            Find<QRadioButton>(&window, ("single" + q.reference).toLatin1())->setChecked(true);
        } else if (q.type == QStringLiteral("判断题")) {
            Find<QRadioButton>(&window, q.reference == "A" ? "judgeTrue" : "judgeFalse")
                ->setChecked(true);
        } else if (q.type == QStringLiteral("填空题")) {
            const QStringList blanks = q.reference.split('#');
            Find<QLineEdit>(&window, "blank1")->setText(blanks[0]);
            if (blanks.size() > 1) Find<QLineEdit>(&window, "blank2")->setText(blanks[1]);
        } else if (q.type == QStringLiteral("多选题")) {
            for (QChar letter : q.reference)
                Find<QCheckBox>(&window, ("multiple" + QString(letter)).toLatin1())
                    ->setChecked(true);
        } else {
            Find<QPlainTextEdit>(&window, "essay")
                ->setPlainText(QStringLiteral("先报警，再疏散。"));
        }
    }
};

TEST_F(EndToEnd, AnExamineeTakesTheSampleExamFromSignInToHisResult) {
    // Only the picture question is left as the paper's one 中等 single choice, so the
    // draw always includes it; both fill-in questions (one and two blanks) are always drawn.
    {
        CADOConn conn;
        conn.ExecuteStatement(
            "update 单选题 set 对象='管理人员' where 难度='中等' and 图片 is null", kQuestions);
    }

    CLogin login;
    Click(&login, "examineeEntry");
    auto selection = Next<CExamLogin>("CExamLogin");
    ASSERT_NE(selection, nullptr);

    Find<QLineEdit>(selection.get(), "name")->setText(QStringLiteral("张三"));
    auto* departments = Find<QComboBox>(selection.get(), "department");
    departments->setCurrentIndex(departments->findText(QStringLiteral("生产部")));
    auto* positions = Find<QComboBox>(selection.get(), "position");
    positions->setCurrentIndex(positions->findText(QStringLiteral("操作工")));
    Click(selection.get(), "query");
    QTableWidget* exams = selection->ExamList();
    ASSERT_EQ(exams->rowCount(), 1);
    EXPECT_EQ(exams->item(0, CExamLogin::kExamNameColumn)->text(),
              QStringLiteral("安全生产月度考试"));
    exams->item(0, CExamLogin::kTickColumn)->setCheckState(Qt::Checked);
    Click(selection.get(), "enter");

    auto window = Next<CVemoDlg>("CVemoDlg");
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(recorder->messages.size(), 1);  // no keyboard grab on a headless desktop
    EXPECT_EQ(recorder->messages[0].text, QStringLiteral("安装钩子失败!"));
    {
        CADOConn conn;
        EXPECT_FALSE(conn.ExecuteIfPossible("select * from interim", kPersonnel))
            << "the pool is dropped once the paper is drawn";
    }

    Click(window.get(), "start");
    double objectivePoints = 0;
    bool sawPicture = false, sawTwoBlanks = false;
    const int total = 12;
    for (int n = 1; n <= total; ++n) {
        ASSERT_EQ(window->CurrentQuestion(), n);
        const Question q = Current(n);
        if (q.type == QStringLiteral("单选题") && window->PictureWindow()) {
            sawPicture = window->PictureWindow()->HasPicture();
        }
        if (q.reference.contains('#')) sawTwoBlanks = true;
        if (q.type != QStringLiteral("问答题")) objectivePoints += q.points.toDouble();
        Answer(*window, q);
        Click(window.get(), "next");
    }
    EXPECT_TRUE(sawPicture);
    EXPECT_TRUE(sawTwoBlanks);
    EXPECT_EQ(objectivePoints, 21);

    recorder->answers = {MsgAnswer::Yes, MsgAnswer::Yes};  // hand in, then review
    Click(window.get(), "handIn");
    EXPECT_TRUE(window->InReview());
    EXPECT_TRUE(
        recorder->messages.last().text.startsWith(QStringLiteral("您这次考试得分为：21分")));
    Click(window.get(), "exit");
    EXPECT_EQ(recorder->exits, 1);

    CADOConn conn;
    auto result = conn.OpenRecordset(
        "select * from ExamRegister where 姓名='张三' and 部门='生产部' and 职务='操作工'",
        kPersonnel);
    ASSERT_EQ(result->RecordCount(), 1);
    EXPECT_EQ(result->GetText("成绩"), "21");
    EXPECT_EQ(result->GetText("考试名称"), QStringLiteral("安全生产月度考试"));
    EXPECT_EQ(result->GetText("问答题"), QStringLiteral("有"));
    EXPECT_EQ(result->GetText("考试时间"),
              QStringLiteral("2026/12/09") + QChar(0x3000) + "10:30:00");
    bool numeric = false;
    result->GetText("考试用时").toInt(&numeric);
    EXPECT_TRUE(numeric);
    // The score code, composed here from its columns rather than through the program's own
    // composition: ID, name, position, exam name, score, pass mark, time used, hand-in time.
    EXPECT_EQ(result->GetText("保存码"),
              CMD5Encrypt::DigestText(result->GetText("ID") + "张三" + "操作工" +
                                      "安全生产月度考试" + "21" + "19" +
                                      result->GetText("考试用时") + result->GetText("考试时间")));

    auto essays = conn.OpenRecordset("select * from quesAndAns", kPersonnel);
    ASSERT_EQ(essays->RecordCount(), 1);
    EXPECT_EQ(essays->GetText("考生编号"), result->GetText("ID"));
    EXPECT_EQ(essays->GetText("答题"), QStringLiteral("先报警，再疏散。"));
    EXPECT_EQ(essays->GetText("分值"), "10");
    EXPECT_FALSE(conn.ExecuteIfPossible("select * from exam", kPersonnel))
        << "the drawn paper is gone";
}

TEST_F(EndToEnd, AnEssayIsGradedThenTheScoreIsQueriedAndPutOnTheSheet) {
    // The examinee answers every question of a paper with an essay rightly: 14 points
    // before grading, short of the pass mark 19.
    const QVector<DrawnQuestion> paper = SamplePaper();
    auto window = std::make_unique<CVemoDlg>(TicketFor(DrawIntoExamTable(paper)));
    recorder->messages.clear();  // no keyboard grab on a headless desktop
    Click(window.get(), "start");
    for (const DrawnQuestion& q : paper) {
        Answer(*window, {q.type, q.stem, q.reference, q.points});
        Click(window.get(), "next");
    }
    recorder->answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    Click(window.get(), "handIn");
    EXPECT_TRUE(
        recorder->messages.last().text.startsWith(QStringLiteral("您这次考试得分为：14分")));
    Click(window.get(), "exit");
    window.reset();

    CExamManager registry;
    Click(&registry, "scoreQuery");
    auto query = Next<CCheckScore>("CCheckScore");
    ASSERT_NE(query, nullptr);
    Click(query.get(), "showAll");
    ASSERT_EQ(query->ScoreList()->rowCount(), 1);
    EXPECT_EQ(query->ScoreList()->Text(0, CCheckScore::kScoreColumn), "14");
    EXPECT_EQ(query->ScoreList()->Text(0, CCheckScore::kVerdictColumn), QStringLiteral("不定"));

    Click(query.get(), "grade");
    auto grader = Next<CHandworkCorrect>("CHandworkCorrect");
    ASSERT_NE(grader, nullptr);
    ASSERT_EQ(grader->AnswerList()->rowCount(), 1);
    grader->AnswerList()->SetTicked(0, true);
    Find<QLineEdit>(grader.get(), "awarded")->setText("6.5");
    recorder->answers = {MsgAnswer::Yes};
    Click(grader.get(), "confirm");
    EXPECT_EQ(recorder->messages.last().text,
              QStringLiteral("手工批卷已全部完成，返回到上一窗口。"));

    query = Next<CCheckScore>("CCheckScore");
    ASSERT_NE(query, nullptr);
    EXPECT_TRUE(Find<QWidget>(query.get(), "grade")->isHidden());
    Click(query.get(), "showAll");
    EXPECT_EQ(query->ScoreList()->Text(0, CCheckScore::kScoreColumn), "20.5");
    EXPECT_EQ(query->ScoreList()->Text(0, CCheckScore::kVerdictColumn), QStringLiteral("是"));
    query->ScoreList()->SetTicked(0, true);
    Click(query.get(), "export");
    auto sheet = Next<CScoreMap>("CScoreMap");
    ASSERT_NE(sheet, nullptr);
    recorder->saveFileAnswers = {Path("成绩")};
    sheet->findChild<QAction*>("save")->trigger();
    const QImage saved(Path("成绩.bmp"), "BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_TRUE(saved == sheet->Sheet().convertToFormat(saved.format()));
    EXPECT_EQ(recorder->exits, 1);  // the examinee's 退出 only
}

}  // namespace
