#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>

#include "app/screens.h"
#include "data/adoconn.h"
#include "data/schema.h"
#include "guitest.h"
#include "scorefixture.h"
#include "ui/common/checklist.h"
#include "ui/exams/exammanager.h"
#include "ui/results/checkscore.h"
#include "ui/results/handworkcorrect.h"
#include "ui/results/scoremap.h"

namespace {

class ResultsScreens : public GuiTest {
protected:
    static void Choose(QWidget* screen, const char* list, const QString& text) {
        auto* combo = Find<QComboBox>(screen, list);
        combo->setCurrentIndex(combo->findText(text));
        ASSERT_EQ(combo->currentText(), text);
    }
    static QStringList Column(CCheckList* list, int column) {
        QStringList texts;
        for (int row = 0; row < list->rowCount(); ++row) texts << list->Text(row, column);
        return texts;
    }
    static void Trigger(QWidget* screen, const char* action) {
        screen->findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }
};

TEST_F(ResultsScreens, QueryListsVerdictsAndRefusesAPositionAlone) {
    StoredScore zhang;
    zhang.score = "60";
    StoreScore(zhang);
    StoredScore li;
    li.name = "李四";
    li.position = "班组长";
    li.score = "30";
    li.essays = true;
    StoreScore(li);
    StoredScore other = zhang;
    other.examName = "另一考试";
    other.examNo = "7";
    StoreScore(other);

    CCheckScore screen;
    EXPECT_EQ(Find<QComboBox>(&screen, "examName")->count(), 2);
    EXPECT_TRUE(Find<QLabel>(&screen, "reminder")->text().isEmpty());
    EXPECT_TRUE(Find<QWidget>(&screen, "grade")->isHidden()) << "no essay waits";

    Click(&screen, "query");
    EXPECT_EQ(recorder->messages.last().text, "查询条件不能全部为空！");
    Choose(&screen, "department", "生产部");
    Choose(&screen, "examName", "安全生产月度考试");
    Click(&screen, "query");  // department and exam, no position
    CCheckList* list = screen.ScoreList();
    EXPECT_EQ(Column(list, CCheckScore::kNameColumn), QStringList({"张三", "李四"}));
    EXPECT_EQ(Column(list, CCheckScore::kVerdictColumn), QStringList({"否", "不定"}));
    EXPECT_EQ(Column(list, CCheckScore::kTimeUsedColumn), QStringList({"00:10:00", "00:10:00"}));
    EXPECT_EQ(Column(list, CCheckScore::kNumberColumn), QStringList({"1", "2"}));

    Click(&screen, "clear");
    Choose(&screen, "department", "生产部");
    Choose(&screen, "position", "操作工");
    // Only a position left: the department deselected without emptying the positions.
    Find<QComboBox>(&screen, "department")->blockSignals(true);
    Find<QComboBox>(&screen, "department")->setCurrentIndex(-1);
    Click(&screen, "query");
    EXPECT_EQ(recorder->messages.last().text, "查询条件不能为空！");
    EXPECT_EQ(recorder->messages.last().title, "Vemo提醒");
    EXPECT_EQ(list->rowCount(), 0);

    Click(&screen, "showAll");
    EXPECT_EQ(list->rowCount(), 3);
    Click(&screen, "clear");
    Click(&screen, "rank");
    EXPECT_EQ(recorder->messages.last().text, "请选择考试名称！");
    Choose(&screen, "examName", "安全生产月度考试");
    Click(&screen, "rank");
    EXPECT_EQ(Column(list, CCheckScore::kScoreColumn), QStringList({"60", "30"}));
    EXPECT_EQ(recorder->exits, 0);
}

TEST_F(ResultsScreens, ExportRefusesMixedOrOverlongSelectionsAndClearsTheTicks) {
    for (int i = 0; i < 21; ++i) StoreScore(StoredScore());
    StoredScore other;
    other.examName = "另一考试";
    StoreScore(other);
    CCheckScore screen;
    Click(&screen, "export");
    EXPECT_EQ(recorder->messages.last().text, "考生信息不能为空！");
    Click(&screen, "showAll");
    CCheckList* list = screen.ScoreList();
    Click(&screen, "export");
    EXPECT_EQ(recorder->messages.last().text, "请选择考生！");

    Click(&screen, "tickAll");
    list->SetTicked(21, false);
    Click(&screen, "export");
    EXPECT_EQ(recorder->messages.last().text, "一次选择不能超过20名考生！");
    EXPECT_TRUE(list->TickedRows().isEmpty());

    list->SetTicked(0, true);
    list->SetTicked(21, true);
    Click(&screen, "export");
    EXPECT_EQ(recorder->messages.last().text, "选择的考试名称应相同！");
    EXPECT_TRUE(list->TickedRows().isEmpty());
    EXPECT_TRUE(recorder->navigations.isEmpty());

    for (int row = 1; row <= 20; ++row) list->SetTicked(row, true);  // as many as one sheet holds
    Find<QCheckBox>(&screen, "showTimeUsed")->setChecked(true);
    Click(&screen, "export");
    ASSERT_EQ(recorder->navigations.size(), 1);
    EXPECT_EQ(recorder->navigations[0].screen, "CScoreMap");
    auto next = recorder->TakeNextScreen();
    auto* map = dynamic_cast<CScoreMap*>(next.get());
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->Sheet().size(), QSize(656, 928));
}

TEST_F(ResultsScreens, TamperedScoresOrCountersEndTheProgramAfterTheNotice) {
    const qlonglong id = StoreScore(StoredScore());
    {
        Tamper(id, "成绩", "99");
        CCheckScore screen;
        ASSERT_EQ(recorder->notices.size(), 1);
        EXPECT_EQ(recorder->notices[0].text, "考生成绩信息已被篡改,将退出程序！");
        EXPECT_EQ(recorder->notices[0].seconds, 6);
        EXPECT_EQ(recorder->exits, 1);
        Tamper(id, "成绩", "80");
    }
    CCheckScore screen;
    EXPECT_EQ(recorder->exits, 1);
    CADOConn conn;
    conn.ExecuteStatement("update JoinExam set 考生质量=考生质量+1, 考生数量=考生数量+1",
                          schema::kPersonnelFile);
    Click(&screen, "showAll");
    EXPECT_EQ(recorder->notices.last().text, "考生人数信息已被篡改,将退出程序！");
    EXPECT_EQ(recorder->exits, 2);
    EXPECT_EQ(screen.ScoreList()->rowCount(), 0);
}

ScoreSheet ThreeRows() {
    ScoreSheet sheet;
    sheet.examName = "安全生产月度考试";
    sheet.paperName = "安全生产基础测试";
    sheet.showTimeUsed = true;
    sheet.rows = {
        {"1", "张三", "生产部", "操作工", "80", "是", "00:10:00", "2026/12/09"},
        {"2", "欧阳建国", "安全生产管理部门", "安全员", "55", "否", "00:50:00", "2026/12/09"},
        {"3", "王五", "技术部", "工程师", "70", "不定", "01:00:00", "2026/12/09"}};
    return sheet;
}

TEST_F(ResultsScreens, SavedSheetMatchesTheScreenPixelForPixel) {
    CScoreMap map(ThreeRows());
    map.show();
    const QString path = Path("sheet.bmp");
    recorder->saveFileAnswers = {path};
    Trigger(&map, "save");
    EXPECT_FALSE(QFile::exists(path + ".bmp"));
    const QImage saved(path, "BMP");
    ASSERT_FALSE(saved.isNull());
    const QImage shown = map.Canvas()->grab().toImage().convertToFormat(saved.format());
    EXPECT_EQ(saved.size(), QSize(656, 928));
    EXPECT_TRUE(saved == shown);

    // ".bmp" is added to a bare name; an existing file is replaced only when confirmed.
    QFile::copy(path, Path("other.bmp"));
    QFile::resize(Path("other.bmp"), 10);
    recorder->saveFileAnswers = {Path("other")};
    recorder->answers = {MsgAnswer::No};
    Trigger(&map, "save");
    EXPECT_EQ(recorder->messages.last().text, "other.bmp文件已存在，要替换吗?");
    EXPECT_EQ(QFileInfo(Path("other.bmp")).size(), 10);

    Trigger(&map, "back");
    EXPECT_EQ(recorder->navigations.last().screen, "CCheckScore");
}

TEST_F(ResultsScreens, ScoreSheetScrollsAndItsCloseBoxEndsTheProgram) {
    CScoreMap map(ThreeRows());
    map.resize(700, 525);
    map.show();
    QScrollBar* bar = map.ScrollBar();
    EXPECT_EQ(bar->maximum(), 933 - 500);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), 15);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar->value(), 265);
    EXPECT_EQ(map.Canvas()->y(), -265);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(bar->value(), 433);
    map.close();
    EXPECT_EQ(recorder->exits, 1);
}

TEST_F(ResultsScreens, GradingConsumesAnswersAndReturnsWhenAllAreGraded) {
    StoredScore s;
    s.score = "77.5";
    s.essays = true;
    const qlonglong id = StoreScore(s);
    StoreEssay(id, s, "10");
    StoreEssay(id, s, "5");

    CCheckScore query;
    EXPECT_EQ(Find<QLabel>(&query, "reminder")->text(), "提醒：有问答题需要手工批改！");
    Click(&query, "grade");
    EXPECT_EQ(recorder->navigations.last().screen, "CHandworkCorrect");

    CHandworkCorrect grader;
    CCheckList* list = grader.AnswerList();
    ASSERT_EQ(list->rowCount(), 2);
    auto* awarded = Find<QLineEdit>(&grader, "awarded");
    Click(&grader, "confirm");
    EXPECT_EQ(recorder->messages.last().text, "请选择选项。");

    list->SetTicked(0, true);
    EXPECT_EQ(Find<QPlainTextEdit>(&grader, "answer")->toPlainText(), "先报警，再疏散。");
    EXPECT_EQ(Find<QLineEdit>(&grader, "points")->text(), "10");
    QTest::keyClicks(awarded, "1.27");
    EXPECT_EQ(awarded->text(), "1.2");
    awarded->clear();
    QTest::keyClicks(awarded, "05a.");
    EXPECT_EQ(awarded->text(), "5.");
    awarded->setText("10.1");
    Click(&grader, "confirm");
    EXPECT_EQ(recorder->messages.last().text, "本题批改给分不能大于分值！");
    awarded->setText("2.5");
    recorder->answers = {MsgAnswer::No};
    Click(&grader, "confirm");
    EXPECT_EQ(list->rowCount(), 2) << "declining changes nothing";
    recorder->answers = {MsgAnswer::Yes};
    Click(&grader, "confirm");
    ASSERT_EQ(list->rowCount(), 1);
    EXPECT_TRUE(list->TickedRows().isEmpty());
    EXPECT_TRUE(awarded->text().isEmpty());
    EXPECT_TRUE(Find<QPlainTextEdit>(&grader, "stem")->toPlainText().isEmpty());

    list->SetTicked(0, true);
    recorder->answers = {MsgAnswer::Yes};
    Click(&grader, "confirm");  // an empty field awards 0
    EXPECT_EQ(recorder->messages.last().text, "手工批卷已全部完成，返回到上一窗口。");
    EXPECT_EQ(recorder->navigations.last().screen, "CCheckScore");

    CCheckScore after;
    Click(&after, "showAll");
    EXPECT_EQ(Column(after.ScoreList(), CCheckScore::kScoreColumn), QStringList({"80"}));
    EXPECT_EQ(Column(after.ScoreList(), CCheckScore::kVerdictColumn), QStringList({"是"}));
    EXPECT_TRUE(Find<QWidget>(&after, "grade")->isHidden());
    EXPECT_EQ(recorder->exits, 0);
}

TEST_F(ResultsScreens, RegistryLeadsToTheScoreQueryAndBack) {
    CExamManager manager;
    Click(&manager, "scoreQuery");
    EXPECT_EQ(recorder->navigations.last().screen, "CCheckScore");
    CCheckScore query;
    Click(&query, "back");
    EXPECT_EQ(recorder->navigations.last().screen, "CExamManager");
}

}  // namespace
