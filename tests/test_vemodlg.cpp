#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <QUrl>
#include <functional>

#include "app/screens.h"
#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"
#include "exam/examlayout.h"
#include "exam/navpanel.h"
#include "exam/vemodlg.h"
#include "examfixture.h"
#include "examwindowtest.h"
#include "guitest.h"
#include "loopback.h"
#include "rules/paperinprogress.h"
#include "ui/common/showmap.h"

namespace {

TEST_F(ExamWindowTest, SetUpShowsTheRulesAndANumberedPanel) {
    auto w = Open();
    EXPECT_EQ(w->windowTitle(), "Vemo");
    EXPECT_EQ(Text(w.get(), "examName"), QStringLiteral("安全生产月度考试"));
    EXPECT_EQ(Text(w.get(), "clock"), QStringLiteral("2026年12月09日　10:30:00"));
    EXPECT_TRUE(
        Text(w.get(), "rules").startsWith(QStringLiteral("\t请仔细阅读以下练习规则：\n\n")));
    EXPECT_TRUE(Text(w.get(), "rules").contains(QStringLiteral("\n\r\n\r\t3、")));
    EXPECT_EQ(w->TypeCounts(), (std::array<int, 5>{2, 1, 2, 1, 1}));
    QStringList headings;
    for (const char* name :
         {"headingSingle", "headingJudge", "headingFill", "headingMultiple", "headingEssay"})
        headings << Text(w.get(), name);
    EXPECT_EQ(headings,
              QStringList({"一、单选题", "二、判断题", "三、填空题", "四、多选题", "五、问答题"}));
    CNumberLabel* seven = w->Panel()->NumberLabel(7);
    ASSERT_NE(seven, nullptr);
    EXPECT_EQ(seven->property("controlId").toInt(), 2107);
    // 2 singles (2 rows), 1 judge (2), 2 fill-ins (2), 1 multiple (2): the essay heading
    // sits 8 rows down and its number right below.
    EXPECT_EQ(seven->geometry(), QRect(70, 140 + 160, 30, 15));

    w->show();
    for (const char* hidden : {"previous", "next", "handIn", "blank1", "essay", "singleA"})
        EXPECT_FALSE(Find<QWidget>(w.get(), hidden)->isVisible()) << hidden;
    for (const char* shown : {"start", "back", "exit", "rules"})
        EXPECT_TRUE(Find<QWidget>(w.get(), shown)->isVisible()) << shown;
    QTest::mouseClick(seven, Qt::LeftButton);
    EXPECT_EQ(w->CurrentQuestion(), 0) << "numbers are inert before the start";
    EXPECT_TRUE(Text(w.get(), "questionNumber").isEmpty());
}

TEST_F(ExamWindowTest, HeadingsAreNumberedAmongPresentSectionsAndTallSectionsTakeMoreRows) {
    auto w = Open({SamplePaper()[2], SamplePaper()[3]});
    EXPECT_EQ(Text(w.get(), "headingJudge"), QStringLiteral("一、判断题"));
    EXPECT_EQ(Text(w.get(), "headingFill"), QStringLiteral("二、填空题"));
    EXPECT_EQ(w->findChild<QLabel*>("headingSingle"), nullptr);
    w->StartExam();
    EXPECT_EQ(Text(w.get(), "sectionNumeral"), QStringLiteral("二、")) << "fixed by type";

    EXPECT_EQ(PanelRows(26), 7);
    EXPECT_EQ(PanelRows(25), 6);
    EXPECT_EQ(PanelRows(0), 0);
    const QVector<PanelSection> sections = LayoutPanel({26, 1, 0, 0, 0});
    ASSERT_EQ(sections.size(), 2);
    EXPECT_EQ(sections[0].numbers[25], QRect(70, 240, 30, 15)) << "the 26th is alone on row 6";
    EXPECT_EQ(sections[1].headingRect.top(), 120 + 20 * 7);
    EXPECT_EQ(sections[1].firstNumber, 27);
}

TEST_F(ExamWindowTest, StartShowsQuestionOneWithItsPictureAndStartsTheCountdown) {
    auto w = Open();
    Click(w.get(), "start");
    EXPECT_TRUE(w->CountdownRunning());
    EXPECT_EQ(w->RemainingSeconds(), 3600);
    EXPECT_EQ(Text(w.get(), "remaining"), QStringLiteral("剩余时间：01:00:00"));
    EXPECT_EQ(Text(w.get(), "timeLimit"), QStringLiteral("答题时限:60分钟"));
    EXPECT_EQ(Text(w.get(), "questionNumber"), QStringLiteral("1、"));
    EXPECT_EQ(Text(w.get(), "sectionNumeral"), QStringLiteral("一、"));
    EXPECT_EQ(Text(w.get(), "typeAndPoints"), QStringLiteral("单选题  每题2分"));
    EXPECT_EQ(Find<QTextEdit>(w.get(), "questionText")->toPlainText(), SamplePaper()[0].stem);
    EXPECT_TRUE(Find<QWidget>(w.get(), "singleD")->isVisibleTo(w.get()));
    EXPECT_FALSE(Find<QWidget>(w.get(), "singleE")->isVisibleTo(w.get())) << "no option E";
    ASSERT_NE(w->PictureWindow(), nullptr);
    EXPECT_TRUE(w->PictureWindow()->HasPicture());
    EXPECT_FALSE(Find<QWidget>(w.get(), "back")->isVisibleTo(w.get()));

    Click(w.get(), "next");
    EXPECT_EQ(w->PictureWindow(), nullptr) << "a question without picture closes it";
    EXPECT_TRUE(Find<QWidget>(w.get(), "singleE")->isVisibleTo(w.get()));
}

TEST_F(ExamWindowTest, AnswersOfEveryTypeAreStoredOnMovingOn) {
    auto w = Open();
    w->StartExam();
    Find<QRadioButton>(w.get(), "singleB")->setChecked(true);
    Click(w.get(), "next");
    EXPECT_EQ(StoredAnswer(1), "B");
    EXPECT_EQ(w->Panel()->NumberLabel(1)->Mark(), NumberMark::Answered);
    Click(w.get(), "next");  // nothing chosen
    EXPECT_FALSE(StoredAnswer(2).isValid());
    EXPECT_EQ(w->Panel()->NumberLabel(2)->Mark(), NumberMark::None);
    EXPECT_EQ(Text(w.get(), "typeAndPoints"), QStringLiteral("判断题  每题1分"));
    Find<QRadioButton>(w.get(), "judgeFalse")->setChecked(true);
    Click(w.get(), "next");
    EXPECT_EQ(StoredAnswer(3), "B");
    EXPECT_EQ(Text(w.get(), "typeAndPoints"), QStringLiteral("填空题  每题2分"));
    EXPECT_FALSE(Find<QWidget>(w.get(), "blank2")->isVisibleTo(w.get())) << "one blank";
    Type(w.get(), "blank1", "36");
    Click(w.get(), "next");
    EXPECT_EQ(StoredAnswer(4), "36");
    Type(w.get(), "blank2", QStringLiteral("绿"));
    Click(w.get(), "next");
    EXPECT_EQ(StoredAnswer(5), QStringLiteral("#绿"));
    EXPECT_EQ(Text(w.get(), "typeAndPoints"), QStringLiteral("多选题  每题3分(选2-5个答案)"));
    for (const char* box : {"multipleA", "multipleC", "multipleD"})
        Find<QCheckBox>(w.get(), box)->setChecked(true);
    Click(w.get(), "previous");
    EXPECT_EQ(StoredAnswer(6), "ACD");
    EXPECT_TRUE(Find<QLineEdit>(w.get(), "blank1")->text().isEmpty());
    EXPECT_EQ(Find<QLineEdit>(w.get(), "blank2")->text(), QStringLiteral("绿"))
        << "back in blank 2";
    Click(w.get(), "next");
    for (const char* box : {"multipleC", "multipleD"})
        Find<QCheckBox>(w.get(), box)->setChecked(false);
    Click(w.get(), "next");
    EXPECT_EQ(StoredAnswer(6), "ACD") << "one ticked box keeps the old answer";
    auto* essay = Find<QPlainTextEdit>(w.get(), "essay");
    essay->setPlainText(QStringLiteral("拨打119\n说明地点"));
    Click(w.get(), "next");
    EXPECT_EQ(StoredAnswer(7), QStringLiteral("拨打119\r\n说明地点"));
    EXPECT_EQ(w->CurrentQuestion(), 7);
    ASSERT_EQ(recorder->notices.size(), 1);
    EXPECT_EQ(recorder->notices[0].text, QStringLiteral("已经是最后一题了！"));
    EXPECT_EQ(recorder->notices[0].seconds, 5);

    // Clearing both blanks withdraws a fill-in answer.
    QTest::mouseClick(w->Panel()->NumberLabel(4), Qt::LeftButton);
    EXPECT_EQ(Find<QLineEdit>(w.get(), "blank1")->text(), "36");
    Find<QLineEdit>(w.get(), "blank1")->clear();
    Click(w.get(), "next");
    EXPECT_FALSE(StoredAnswer(4).isValid());
}

TEST_F(ExamWindowTest, AJumpByNumberStoresTheAnswerOnScreenAndTheFirstHasNoPrevious) {
    auto w = Open();
    w->StartExam();
    Click(w.get(), "previous");
    ASSERT_EQ(recorder->notices.size(), 1);
    EXPECT_EQ(recorder->notices[0].text, QStringLiteral("已经是第1题了！"));
    Find<QRadioButton>(w.get(), "singleA")->setChecked(true);
    QTest::mouseClick(w->Panel()->NumberLabel(3), Qt::LeftButton);
    EXPECT_EQ(Text(w.get(), "questionNumber"), QStringLiteral("3、"));
    EXPECT_EQ(StoredAnswer(1), "A");
}

// A station that dies loses at most 30 s of the time used, and nothing of it with an answer.
TEST_F(ExamWindowTest, TheTimeUsedIsKeptEveryThirtySecondsAndWithEveryAnswer) {
    auto w = Open();
    {
        CADOConn conn;
        conn.OpenDatabase(schema::kPersonnelFile);
        CTransaction transaction(conn);
        progress::Keep(conn, ticket.registrationId, answers::SplitAnswerKey(ticket.answerKey));
        ASSERT_NO_THROW(transaction.Commit());
    }
    w->StartExam();
    for (int second = 1; second <= 59; ++second) w->OnCountdownTick();
    EXPECT_EQ(progress::TimeUsed(ticket.registrationId), 30);
    Find<QRadioButton>(w.get(), "singleB")->setChecked(true);
    Click(w.get(), "next");
    EXPECT_EQ(progress::TimeUsed(ticket.registrationId), 59);
}

TEST_F(ExamWindowTest, BlanksEchoIntoTheQuestionTextWithoutMarkers) {
    auto w = Open();
    w->StartExam();
    QTest::mouseClick(w->Panel()->NumberLabel(5), Qt::LeftButton);
    Type(w.get(), "blank1", QStringLiteral("每【月#"));
    EXPECT_EQ(Find<QLineEdit>(w.get(), "blank1")->text(), QStringLiteral("每月"));
    Type(w.get(), "blank2", QStringLiteral("绿"));
    EXPECT_EQ(Find<QTextEdit>(w.get(), "questionText")->toPlainText(),
              QStringLiteral("灭火器【 每月 】检查一次，压力表指针应在【 绿 】区。"));
    EXPECT_EQ(w->BlankSpan(1), (answers::Span{4, 8}));
    EXPECT_EQ(w->BlankSpan(2), (answers::Span{22, 25}));
    EXPECT_EQ(Find<QTextEdit>(w.get(), "questionText")->extraSelections().size(), 2);
}

TEST_F(ExamWindowTest, TheUnderlineStaysUnderTheBlankAfterLineBreaks) {
    QVector<DrawnQuestion> paper = SamplePaper();
    paper[0] = {"填空题", QStringLiteral("第一行\r\n第二行\r\n答【  】。"), "x", "2", {}, ""};
    auto w = Open(paper);
    w->StartExam();
    Type(w.get(), "blank1", QStringLiteral("每月"));
    const auto underlines = Find<QTextEdit>(w.get(), "questionText")->extraSelections();
    ASSERT_EQ(underlines.size(), 1);
    EXPECT_EQ(underlines[0].cursor.selectedText(), QStringLiteral(" 每月 "));
}

TEST_F(ExamWindowTest, AMissingPictureGivesANoticeAndABadFillInEndsTheProgram) {
    QVector<DrawnQuestion> paper = SamplePaper();
    paper[0].picture = "";
    paper[1].picture = QStringLiteral("单选题404");
    paper[2] = {"填空题", "没有填空符号的题。", "x", "2", {}, ""};
    auto w = Open(paper);
    QFile::remove(QStringLiteral("QuestionMap/单选题404.bmp"));
    w->StartExam();
    Click(w.get(), "next");
    ASSERT_EQ(recorder->notices.size(), 1);
    EXPECT_EQ(recorder->notices[0].text, QStringLiteral("找不到图片文件"));
    EXPECT_EQ(recorder->notices[0].title, QStringLiteral("Vemo提示"));
    EXPECT_EQ(w->PictureWindow(), nullptr);
    Click(w.get(), "next");
    ASSERT_EQ(recorder->messages.size(), 1);
    EXPECT_EQ(recorder->messages[0].text, QStringLiteral("填空题填空符号不符合要求,将退出程序！"));
    EXPECT_EQ(recorder->exits, 1);
    EXPECT_FALSE(ExamTableExists());
}

TEST_F(ExamWindowTest, HandInScoresStoresTheResultAndOpensReview) {
    auto w = Open();
    w->StartExam();
    Find<QRadioButton>(w.get(), "singleB")->setChecked(true);  // 2 points
    Click(w.get(), "next");
    Click(w.get(), "next");                                      // unanswered
    Find<QRadioButton>(w.get(), "judgeTrue")->setChecked(true);  // 1 point
    Click(w.get(), "next");
    Type(w.get(), "blank1", "36");  // 2 points
    Click(w.get(), "next");
    Type(w.get(), "blank1", QStringLiteral("每月"));  // half of 4
    Type(w.get(), "blank2", QStringLiteral("红"));
    Click(w.get(), "next");
    Find<QCheckBox>(w.get(), "multipleA")->setChecked(true);  // AC against ACD: nothing
    Find<QCheckBox>(w.get(), "multipleC")->setChecked(true);  // stored by the hand-in itself
    w->OnCountdownTick();
    recorder->answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    Click(w.get(), "handIn");

    ASSERT_EQ(recorder->messages.size(), 2);
    EXPECT_EQ(recorder->messages[0].text, QStringLiteral("您确定要交卷!"));
    EXPECT_EQ(recorder->messages[0].title, QStringLiteral("Vemo提醒"));
    EXPECT_EQ(recorder->messages[1].text,
              QStringLiteral("您这次考试得分为：7分，\n\n本成绩不包括问答题分数，待问答题手工批卷后"
                             "才能计算总成绩。\n\n是否进入考试查看窗口？"));
    EXPECT_EQ(StoredAnswer(6), "AC");
    auto reg = Registration();
    EXPECT_EQ(reg->GetText("成绩"), "7");
    EXPECT_EQ(reg->GetText("考试用时"), "1");
    EXPECT_EQ(reg->GetText("考试时间"), QStringLiteral("2026/12/09　10:30:00"));
    EXPECT_EQ(reg->GetText("考试名称"), QStringLiteral("安全生产月度考试"));
    EXPECT_EQ(reg->GetText("问答题"), QStringLiteral("有"));
    EXPECT_TRUE(codes::ScoreIntact(*reg));
    CADOConn conn;
    auto essays = conn.OpenRecordset("select * from quesAndAns", schema::kPersonnelFile);
    ASSERT_EQ(essays->RecordCount(), 1);
    EXPECT_TRUE(essays->IsNull("答题")) << "the unanswered essay is handed on too";
    EXPECT_EQ(essays->GetText("考生编号"), ticket.registrationId);
    EXPECT_EQ(essays->GetText("姓名"), reg->GetText("姓名"));
    EXPECT_EQ(essays->GetText("答案"), SamplePaper()[6].reference);
    EXPECT_EQ(essays->GetText("分值"), "10");

    // Review mode.
    EXPECT_TRUE(w->InReview());
    EXPECT_FALSE(w->CountdownRunning());
    EXPECT_FALSE(Find<QWidget>(w.get(), "handIn")->isVisibleTo(w.get()));
    EXPECT_TRUE(Find<QWidget>(w.get(), "exit")->isVisibleTo(w.get()));
    EXPECT_FALSE(Find<QWidget>(w.get(), "remaining")->isVisibleTo(w.get()));
    EXPECT_EQ(Text(w.get(), "yourAnswer"), QStringLiteral("您的答案：B"));
    EXPECT_EQ(Text(w.get(), "reference"), QStringLiteral("参考答案：B"));
    QVector<NumberMark> marks;
    for (int n = 1; n <= 7; ++n) marks << w->Panel()->NumberLabel(n)->Mark();
    EXPECT_EQ(marks, (QVector<NumberMark>{NumberMark::Right, NumberMark::Wrong, NumberMark::Right,
                                          NumberMark::Right, NumberMark::HalfRight,
                                          NumberMark::Wrong, NumberMark::Essay}));
    QTest::mouseClick(w->Panel()->NumberLabel(5), Qt::LeftButton);
    EXPECT_EQ(Text(w.get(), "reference"), QStringLiteral("参考答案：每月#绿"));
    EXPECT_TRUE(Find<QLineEdit>(w.get(), "blank2")->isReadOnly());
    EXPECT_EQ(Find<QLineEdit>(w.get(), "blank2")->text(), QStringLiteral("红"));
    Click(w.get(), "next");
    Find<QCheckBox>(w.get(), "multipleD")->setChecked(true);
    Click(w.get(), "next");
    EXPECT_EQ(StoredAnswer(6), "AC") << "review never stores";

    Click(w.get(), "exit");
    EXPECT_EQ(recorder->exits, 1);
    EXPECT_FALSE(ExamTableExists());
}

TEST_F(ExamWindowTest, ScoresAreStoredAsShortTextAndPassMarksCompareInclusively) {
    // One two-blank question answered half right, or not at all; the pass mark is 19.
    // Half of 1.5 points shows with one decimal.
    const struct {
        const char* points;
        const char* blank1;
        const char* stored;
        QString verdict;
    } cases[] = {{"25", "P", "12.5", "12.5分，不合格。"},
                 {"38", "P", "19", "19分，合格。"},
                 {"38", "", "0", "0分，不合格。"},
                 {"1.5", "P", "0.8", "0.8分，不合格。"}};
    for (const auto& c : cases) {
        recorder->exits = 0;
        auto w = Open({{"填空题", "甲【】乙【】", "P#Q", c.points, {}, ""}});
        w->StartExam();
        Type(w.get(), "blank1", c.blank1);
        recorder->answers = {MsgAnswer::Yes, MsgAnswer::No};
        Click(w.get(), "handIn");
        EXPECT_EQ(Registration()->GetText("成绩"), c.stored);
        EXPECT_TRUE(Registration()->IsNull("问答题"));
        EXPECT_TRUE(recorder->messages.last().text.contains(c.verdict)) << c.stored;
        EXPECT_EQ(recorder->exits, 1) << "declining the review ends the program";
        EXPECT_FALSE(ExamTableExists());
    }
}

TEST_F(ExamWindowTest, DecliningTheHandInResumesTheCountdownWhereItStood) {
    auto w = Open();
    w->StartExam();
    w->OnCountdownTick();
    recorder->answers = {MsgAnswer::No};
    Click(w.get(), "handIn");
    EXPECT_TRUE(w->CountdownRunning());
    EXPECT_EQ(w->RemainingSeconds(), 3599);
    EXPECT_TRUE(Registration()->IsNull("成绩"));
}

TEST_F(ExamWindowTest, TheCountdownHandsInAtZeroAndNotATickBefore) {
    const struct {
        const char* limit;
        int ticks;
    } cases[] = {{"0", 1}, {"1", 60}};
    for (const auto& c : cases) {
        recorder->exits = 0;
        auto w = Open(SamplePaper(), c.limit);
        w->StartExam();
        for (int tick = 1; tick < c.ticks; ++tick) w->OnCountdownTick();
        EXPECT_TRUE(recorder->notices.isEmpty()) << c.limit;
        recorder->answers = {MsgAnswer::No};
        w->OnCountdownTick();
        ASSERT_EQ(recorder->notices.size(), 1) << c.limit;
        EXPECT_EQ(recorder->notices[0].text, QStringLiteral("考试时间到，强制交卷!"));
        EXPECT_EQ(recorder->notices[0].title, QStringLiteral("Vemo提醒"));
        EXPECT_EQ(recorder->notices[0].seconds, 10);
        recorder->notices.clear();
        EXPECT_EQ(Registration()->GetText("成绩"), "0");
        EXPECT_EQ(Registration()->GetText("考试用时"), QString::number(c.ticks));
        EXPECT_FALSE(w->CountdownRunning());
        EXPECT_EQ(recorder->exits, 1);
    }
}

TEST_F(ExamWindowTest, LongAnswersAreStoredWhole) {
    auto w = Open();
    w->StartExam();
    const QString longText(300, QChar(0x5b89));
    QTest::mouseClick(w->Panel()->NumberLabel(4), Qt::LeftButton);
    Find<QLineEdit>(w.get(), "blank1")->setText(longText);
    Click(w.get(), "next");
    EXPECT_EQ(StoredAnswer(4).toString(), longText);
    QTest::mouseClick(w->Panel()->NumberLabel(7), Qt::LeftButton);
    Find<QPlainTextEdit>(w.get(), "essay")->setPlainText(longText);
    recorder->answers = {MsgAnswer::Yes, MsgAnswer::No};
    Click(w.get(), "handIn");
    CADOConn conn;
    auto essays = conn.OpenRecordset("select * from quesAndAns", schema::kPersonnelFile);
    EXPECT_EQ(essays->GetText("答题"), longText);
}

TEST_F(ExamWindowTest, AFailedHandInStoresNothingAndCanBeRetried) {
    // A registration that is gone fails at once; a refused essay row fails after the
    // scores are added up.
    for (const bool essayRefused : {false, true}) {
        auto w = Open();
        CADOConn conn;
        if (essayRefused) {
            conn.ExecuteStatement(
                "create trigger refuse before insert on quesAndAns "
                "begin select raise(abort,'refused'); end",
                schema::kPersonnelFile);
        } else {
            ticket.registrationId = "9999";
            w = std::make_unique<CVemoDlg>(ticket);
            recorder->messages.clear();
        }
        w->StartExam();
        recorder->answers = {MsgAnswer::Yes};
        Click(w.get(), "handIn");
        ASSERT_EQ(recorder->messages.size(), 2);
        EXPECT_EQ(recorder->messages[1].title, QStringLiteral("Vemo警告")) << essayRefused;
        for (const QString table : {"quesAndAns", "ExamRegister where 成绩 is not null"})
            EXPECT_EQ(
                conn.OpenRecordset("select * from " + table, schema::kPersonnelFile)->RecordCount(),
                0)
                << table.toStdString();
        EXPECT_TRUE(Find<QWidget>(w.get(), "handIn")->isVisibleTo(w.get()));
        EXPECT_TRUE(ExamTableExists());
    }
}

TEST_F(ExamWindowTest, BackDropsThePaperAndLeavesTheWindow) {
    auto w = Open();
    Click(w.get(), "back");
    ASSERT_EQ(recorder->navigations.size(), 1);
    EXPECT_EQ(recorder->navigations[0].screen, "CExamLogin");
    EXPECT_FALSE(ExamTableExists());
    EXPECT_EQ(w->result(), QDialog::Accepted);

    QDialog selection;
    DrawIntoExamTable(SamplePaper());
    screens::Go(&selection, screens::Id::ExamWindow, QVariant::fromValue(ticket));
    EXPECT_EQ(recorder->navigations.last().screen, "CVemoDlg");
    EXPECT_NE(recorder->TakeNextScreen(), nullptr);
}

TEST_F(ExamWindowTest, KeysThatWouldLeaveTheWindowAreSwallowed) {
    auto w = Open();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QTest::keyClick(w.get(), Qt::Key_Escape);
    QTest::keyClick(w.get(), Qt::Key_F4, Qt::AltModifier);
    w->close();
    EXPECT_TRUE(w->isVisible());
    w->StartExam();
    QTest::mouseClick(w->Panel()->NumberLabel(7), Qt::LeftButton);
    auto* essay = Find<QPlainTextEdit>(w.get(), "essay");
    essay->setFocus();
    QTest::keyClicks(essay, "a b");
    QTest::keyClick(essay, Qt::Key_Return);
    QTest::keyClicks(essay, "c");
    EXPECT_EQ(essay->toPlainText(), "a b\nc");
    QTest::mouseClick(w->Panel()->NumberLabel(4), Qt::LeftButton);
    auto* blank = Find<QLineEdit>(w.get(), "blank1");
    blank->setFocus();
    QTest::keyClicks(blank, "3 6");
    EXPECT_EQ(Find<QLineEdit>(w.get(), "blank1")->text(), "36");
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(recorder->exits, 0);
}

TEST_F(ExamWindowTest, MinimisingIsUndoneAtOnceAndReviewTicksNothing) {
    auto w = Open();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->windowState(), Qt::WindowFullScreen);

    w->StartExam();
    Find<QRadioButton>(w.get(), "singleB")->setChecked(true);
    EXPECT_TRUE(w->Lockdown()->PointerWanted());
    recorder->answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    Click(w.get(), "handIn");
    ASSERT_TRUE(w->InReview());
    EXPECT_FALSE(w->Lockdown()->PointerWanted()) << "the pointer goes free at hand-in";
    QTest::mouseClick(Find<QRadioButton>(w.get(), "singleA"), Qt::LeftButton);
    EXPECT_FALSE(Find<QRadioButton>(w.get(), "singleA")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(w.get(), "singleB")->isChecked());
    QTest::mouseClick(w->Panel()->NumberLabel(6), Qt::LeftButton);
    QTest::mouseClick(Find<QCheckBox>(w.get(), "multipleB"), Qt::LeftButton);
    EXPECT_FALSE(Find<QCheckBox>(w.get(), "multipleB")->isChecked());

    w->setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->windowState(), Qt::WindowFullScreen) << "review is still locked down";
    Click(w.get(), "exit");
    EXPECT_FALSE(w->Lockdown()->Active());
    EXPECT_EQ(recorder->exits, 1);
}

}  // namespace
