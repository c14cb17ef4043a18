#include <gtest/gtest.h>

#include "rules/answers.h"
#include "rules/countdown.h"
#include "rules/keylock.h"
#include "rules/scoring.h"

namespace {

using scoring::Judge;
using scoring::Verdict;

const QString kFill = QStringLiteral("填空题");

double Points(const QString& type, const std::optional<QString>& answer, const QString& reference,
              double points = 4) {
    return scoring::PointsEarned(Judge(type, answer, reference), points);
}

TEST(Scoring, TwoBlankFillInEarnsHalfForOneMatchingBlank) {
    EXPECT_EQ(Judge(kFill, QString("P#Q"), "P#Q"), Verdict::Right);
    EXPECT_EQ(Judge(kFill, QString("P#Z"), "P#Q"), Verdict::HalfRight);
    EXPECT_EQ(Judge(kFill, QString("#Q"), "P#Q"), Verdict::HalfRight);
    EXPECT_EQ(Judge(kFill, QString("P"), "P#Q"), Verdict::HalfRight);
    EXPECT_EQ(Judge(kFill, QString("Q#P"), "P#Q"), Verdict::Wrong);
    EXPECT_EQ(Points(kFill, QString("P#Q"), "P#Q"), 4);
    EXPECT_EQ(Points(kFill, QString("#Q"), "P#Q", 3), 1.5);
    EXPECT_EQ(Points(kFill, QString("Q#P"), "P#Q"), 0);
}

TEST(Scoring, OneBlankFillInIsAllOrNothing) {
    EXPECT_EQ(Judge(kFill, QString("P"), "P"), Verdict::Right);
    EXPECT_EQ(Judge(kFill, QString("P#Q"), "P"), Verdict::Wrong);
    EXPECT_EQ(Judge(kFill, QString("p"), "P"), Verdict::Wrong) << "case matters";
    EXPECT_EQ(Judge(kFill, QString(" P"), "P"), Verdict::Wrong) << "spaces matter";
}

TEST(Scoring, ChoicesMatchExactlyWithoutPartialCredit) {
    EXPECT_EQ(Points(QStringLiteral("多选题"), QString("AC"), "ACD"), 0);
    EXPECT_EQ(Points(QStringLiteral("多选题"), QString("ACD"), "ACD"), 4);
    EXPECT_EQ(Points(QStringLiteral("单选题"), QString("B"), "B"), 4);
    EXPECT_EQ(Points(QStringLiteral("判断题"), QString("A"), "B"), 0);
}

TEST(Scoring, EssaysAndUnansweredQuestionsEarnNothingNow) {
    EXPECT_EQ(Judge(QStringLiteral("问答题"), QString("答案"), "答案"), Verdict::Essay);
    EXPECT_EQ(Judge(QStringLiteral("问答题"), std::nullopt, "答案"), Verdict::Essay);
    EXPECT_EQ(Points(QStringLiteral("问答题"), QString("答案"), "答案"), 0);
    EXPECT_EQ(Judge(kFill, std::nullopt, "#Q"), Verdict::Unanswered);
    EXPECT_EQ(Points(QStringLiteral("单选题"), std::nullopt, ""), 0);
}

TEST(Scoring, ResultMessageTellsPassOrFailAndLeavesEssaysOpen) {
    const QString passed = scoring::ResultMessage(60, 60, false);
    EXPECT_EQ(passed, QStringLiteral("您这次考试得分为：60分，合格。\n\n恭喜您,顺利通过了考试。"
                                     "\n\n是否进入考试查看窗口？"));
    const QString failed = scoring::ResultMessage(59.5, 60, false);
    EXPECT_EQ(failed,
              QStringLiteral("您这次考试得分为：59.5分，不合格。\n\n请继续努力,加油！加油！！"
                             "\n\n是否进入考试查看窗口？"));
    const QString pending = scoring::ResultMessage(80, 60, true);
    EXPECT_FALSE(pending.contains(QStringLiteral("合格")));
    EXPECT_TRUE(pending.contains(QStringLiteral("待问答题手工批卷后才能计算总成绩")));
    EXPECT_TRUE(scoring::ResultMessage(0, 0, false)
                    .startsWith(QStringLiteral("您这次考试得分为：0分，合格")));
}

TEST(Answers, TheAnswerKeySplitsAtEveryBar) {
    EXPECT_EQ(answers::SplitAnswerKey("B|A|P#Q||"), QStringList({"B", "A", "P#Q", ""}));
    EXPECT_EQ(answers::SplitAnswerKey("B|tail"), QStringList({"B"}));
    EXPECT_TRUE(answers::SplitAnswerKey("").isEmpty());
}

TEST(Answers, ChoicesAreKeptAsLettersAndOneTickedBoxKeepsTheOldAnswer) {
    EXPECT_EQ(answers::ChoiceAnswer(4), QString("E"));
    EXPECT_EQ(answers::ChoiceAnswer(5), std::nullopt);
    EXPECT_EQ(answers::ChoiceAnswer(-1), std::nullopt);
    EXPECT_EQ(answers::MultipleChoiceAnswer({true, false, true, true, false}), QString("ACD"));
    EXPECT_EQ(answers::MultipleChoiceAnswer({false, false, false, true, true}), QString("DE"));
    EXPECT_EQ(answers::MultipleChoiceAnswer({false, true, false, false, false}), std::nullopt);
    EXPECT_EQ(answers::MultipleChoiceAnswer({false, false, false, false, false}), std::nullopt);
}

TEST(Answers, FillInBlanksRoundTripThroughTheStoredText) {
    EXPECT_EQ(answers::FillInAnswer("P", ""), "P");
    EXPECT_EQ(answers::FillInAnswer("", "Q"), "#Q");
    EXPECT_EQ(answers::FillInAnswer("P", "Q"), "P#Q");
    EXPECT_TRUE(answers::FillInAnswer("", "").isEmpty());
    const answers::Blanks onlySecond = answers::SplitFillIn("#Q");
    EXPECT_EQ(onlySecond.first, "");
    EXPECT_EQ(onlySecond.second, "Q");
    const answers::Blanks onlyFirst = answers::SplitFillIn("P");
    EXPECT_EQ(onlyFirst.first, "P");
    EXPECT_EQ(onlyFirst.second, "");
}

TEST(Answers, EssaysKeepCrLfAndAnEmptyEssayKeepsTheOldAnswer) {
    EXPECT_EQ(answers::EssayAnswer("一\n二"), QString("一\r\n二"));
    EXPECT_EQ(answers::EssayAnswer("一\r\n二"), QString("一\r\n二"));
    EXPECT_EQ(answers::EssayAnswer(""), std::nullopt);
    EXPECT_EQ(answers::EssayForDisplay("一\r\n二"), "一\n二");
}

TEST(Answers, BlanksLoseMarkersAndSeparators) {
    EXPECT_EQ(answers::CleanBlank(QStringLiteral("a【b】c#d")), "abcd");
    EXPECT_EQ(answers::BlankMarkerCount(QStringLiteral("甲【】乙【】")), 2);
    EXPECT_EQ(answers::BlankMarkerCount(QStringLiteral("没有空")), 0);
}

TEST(Answers, EchoWritesBlanksIntoTheTextWithSpansInUtf16Units) {
    const QString stem = QStringLiteral("灭火器【  】检查一次，压力在【  】区。");
    const answers::Echo both = answers::EchoBlanks(stem, QStringLiteral("每月"), "绿");
    EXPECT_EQ(both.text, QStringLiteral("灭火器【 每月 】检查一次，压力在【 绿 】区。"));
    EXPECT_EQ(both.first, (answers::Span{4, 8}));
    EXPECT_EQ(both.second, (answers::Span{18, 21}));

    // A longer blank 1 moves blank 2's span by as much.
    const answers::Echo longer = answers::EchoBlanks(stem, QStringLiteral("每个月"), "绿");
    EXPECT_EQ(longer.second, (answers::Span{19, 22}));

    // An empty blank shows two spaces and has no span.
    const answers::Echo empty = answers::EchoBlanks(stem, "", "绿");
    EXPECT_EQ(empty.text, QStringLiteral("灭火器【  】检查一次，压力在【 绿 】区。"));
    EXPECT_TRUE(empty.first.isEmpty());
    EXPECT_EQ(empty.second, (answers::Span{16, 19}));

    // Characters outside the basic plane take two units.
    const answers::Echo wide = answers::EchoBlanks(QStringLiteral("𠀀【】"), "x", "");
    EXPECT_EQ(wide.first, (answers::Span{3, 6}));

    // Spans count on the text as the box shows it, where CR LF is one line break.
    const answers::Echo lines =
        answers::EchoBlanks(QStringLiteral("一\r\n二\r\n【】与【】"), "x", "yz");
    EXPECT_EQ(lines.text, QStringLiteral("一\n二\n【 x 】与【 yz 】"));
    EXPECT_EQ(lines.text.mid(lines.first.start, lines.first.end - lines.first.start), " x ");
    EXPECT_EQ(lines.text.mid(lines.second.start, lines.second.end - lines.second.start), " yz ");

    // A blank without its closing mark loses no text.
    EXPECT_EQ(answers::EchoBlanks(QStringLiteral("甲【乙"), "x", "").text,
              QStringLiteral("甲【 x 乙"));
}

TEST(Countdown, TextsOfClockAndCountdown) {
    EXPECT_EQ(countdown::ClockText(QDateTime(QDate(2026, 12, 9), QTime(9, 5, 30))),
              QStringLiteral("2026年12月09日　09:05:30"));
    EXPECT_EQ(countdown::RemainingText(3725), QStringLiteral("剩余时间：01:02:05"));
    EXPECT_EQ(countdown::RemainingText(-1), QStringLiteral("剩余时间：00:00:00"));
    EXPECT_EQ(countdown::ElapsedSeconds(60, 3000), 600);
    EXPECT_EQ(countdown::ElapsedSeconds(0, -1), 1);
}

keylock::KeyAction Decide(int key, Qt::KeyboardModifiers mods, bool press = true,
                          bool inExamWindow = true, bool essay = false) {
    return keylock::Decide({key, mods, press, inExamWindow, essay});
}

TEST(KeyLock, DesktopShortcutsAreSwallowedEverywhereOnPressAndRelease) {
    using keylock::KeyAction;
    for (bool press : {true, false}) {
        for (bool inExam : {true, false}) {
            EXPECT_EQ(Decide(Qt::Key_Super_L, {}, press, inExam), KeyAction::Swallow);
            EXPECT_EQ(Decide(Qt::Key_Super_R, {}, press, inExam), KeyAction::Swallow);
            EXPECT_EQ(Decide(Qt::Key_Escape, Qt::ControlModifier, press, inExam),
                      KeyAction::Swallow);
            EXPECT_EQ(Decide(Qt::Key_Escape, Qt::AltModifier, press, inExam), KeyAction::Swallow);
            EXPECT_EQ(Decide(Qt::Key_Tab, Qt::AltModifier, press, inExam), KeyAction::Swallow);
            EXPECT_EQ(Decide(Qt::Key_QuoteLeft, Qt::AltModifier, press, inExam),
                      KeyAction::Swallow);
            EXPECT_EQ(Decide(Qt::Key_F4, Qt::AltModifier, press, inExam), KeyAction::Swallow);
            EXPECT_EQ(Decide(Qt::Key_Delete, Qt::ControlModifier | Qt::AltModifier, press, inExam),
                      KeyAction::Swallow);
            EXPECT_EQ(
                Decide(Qt::Key_Period, Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier,
                       press, inExam),
                KeyAction::Swallow);
        }
    }
    EXPECT_EQ(Decide(Qt::Key_Tab, {}), KeyAction::Pass);
    EXPECT_EQ(Decide(Qt::Key_Delete, Qt::ControlModifier), KeyAction::Pass);
    EXPECT_EQ(Decide(Qt::Key_Period, Qt::ControlModifier | Qt::AltModifier), KeyAction::Pass);
    EXPECT_EQ(Decide(Qt::Key_A, Qt::AltModifier), KeyAction::Pass);
}

TEST(KeyLock, TheExamWindowSwallowsEscEnterAndSpaceExceptInTheEssay) {
    using keylock::KeyAction;
    EXPECT_EQ(Decide(Qt::Key_Escape, {}), KeyAction::Swallow);
    EXPECT_EQ(Decide(Qt::Key_Return, {}), KeyAction::Swallow);
    EXPECT_EQ(Decide(Qt::Key_Enter, Qt::KeypadModifier), KeyAction::Swallow);
    EXPECT_EQ(Decide(Qt::Key_Space, {}), KeyAction::Swallow);
    EXPECT_EQ(Decide(Qt::Key_Return, {}, true, true, true), KeyAction::InsertLineBreak);
    EXPECT_EQ(Decide(Qt::Key_Space, {}, true, true, true), KeyAction::InsertSpace);
    EXPECT_EQ(Decide(Qt::Key_Escape, {}, true, true, true), KeyAction::Swallow);
    // Only presses, and only in the exam window: a message box over it still takes Enter.
    EXPECT_EQ(Decide(Qt::Key_Space, {}, false), KeyAction::Pass);
    EXPECT_EQ(Decide(Qt::Key_Return, {}, true, false), KeyAction::Pass);
    EXPECT_EQ(Decide(Qt::Key_A, {}), KeyAction::Pass);
}

}  // namespace
