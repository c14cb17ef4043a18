#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>

#include "app/screens.h"
#include "data/adoconn.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "data/xlsxworkbook.h"
#include "guitest.h"
#include "scorefixture.h"
#include "ui/common/checklist.h"
#include "ui/common/checktable.h"
#include "ui/exams/exammanager.h"
#include "ui/results/answersheetview.h"
#include "ui/results/checkscore.h"
#include "ui/results/handworkcorrect.h"
#include "ui/results/itemanalysis.h"
#include "ui/results/scoremap.h"
#include "ui/results/scorestatistics.h"

namespace {

class ResultsScreens : public GuiTest {
protected:
    static void Choose(QWidget* screen, const char* list, const QString& text) {
        auto* combo = Find<QComboBox>(screen, list);
        combo->setCurrentIndex(combo->findText(text));
        ASSERT_EQ(combo->currentText(), text);
    }
    template <class List>
    static QStringList Column(List* list, int column) {
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
    CCheckTable* list = screen.ScoreList();
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
    Click(&screen, "rank");  // the sample folder's registrations follow, absent
    EXPECT_EQ(Column(list, CCheckScore::kScoreColumn).mid(0, 3), QStringList({"60", "30", ""}));
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
    CCheckTable* list = screen.ScoreList();
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

// Four scores of one exam (90, 85, 85, 70), one examinee absent, one score elsewhere.
void StoreRankedExam() {
    const char* scored[][2] = {{"张三", "90"}, {"李四", "85"}, {"王五", "85"}, {"赵六", "70"}};
    StoredScore s;
    s.examNo = "9";  // not the sample folder's exam, which has registrations of its own
    for (const auto& row : scored) {
        s.name = row[0];
        s.score = row[1];
        StoreScore(s);
    }
    s.name = "钱七";
    StoreUnscored(s);
    StoredScore other;
    other.examName = "另一考试";
    other.examNo = "2";
    StoreScore(other);
}

TEST_F(ResultsScreens, RankingShowsRanksAndTheAbsentAndExportsTheListAsShown) {
    StoreRankedExam();
    CCheckScore screen;
    CCheckTable* list = screen.ScoreList();
    auto* statistics = Find<QWidget>(&screen, "statistics");
    EXPECT_FALSE(statistics->isEnabled());
    Choose(&screen, "examName", "安全生产月度考试");
    EXPECT_TRUE(statistics->isEnabled());
    Click(&screen, "rank");
    EXPECT_EQ(Column(list, CCheckScore::kRankColumn), QStringList({"1", "2", "2", "4", "缺考"}));
    EXPECT_EQ(list->Text(4, CCheckScore::kNameColumn), "钱七");
    EXPECT_FALSE(list->isColumnHidden(CCheckScore::kRankColumn));

    recorder->saveFileAnswers = {Path("ranking")};
    Click(&screen, "exportExcel");
    EXPECT_TRUE(recorder->suggestedSavePaths.last().endsWith("/安全生产月度考试成绩.xlsx"));
    QString reason;
    auto book = xlsx::ReadWorkbook(Path("ranking.xlsx"), &reason);
    ASSERT_TRUE(book) << reason.toStdString();
    const Worksheet& ranked = book->sheets[0];
    EXPECT_EQ(ranked.header, QStringList({"序号", "名次", "姓名", "部门", "职务", "成绩", "合格",
                                          "考试用时", "考试时间", "考试名称"}));
    ASSERT_EQ(ranked.rows.size(), 5u);
    EXPECT_EQ(ranked.rows[2].cells.values(),
              QStringList({"3", "2", "王五", "生产部", "操作工", "85", "是", "00:10:00",
                           list->Text(2, CCheckScore::kHandInColumn), "安全生产月度考试"}));
    EXPECT_EQ(ranked.rows[4].Cell(1), "缺考");

    Click(&screen, "showAll");  // two exams: no 名次, the file named for neither
    EXPECT_TRUE(list->isColumnHidden(CCheckScore::kRankColumn));
    recorder->saveFileAnswers = {Path("all.xlsx")};
    Click(&screen, "exportExcel");
    EXPECT_TRUE(recorder->suggestedSavePaths.last().endsWith("/成绩.xlsx"));
    book = xlsx::ReadWorkbook(Path("all.xlsx"), &reason);
    ASSERT_TRUE(book) << reason.toStdString();
    EXPECT_EQ(book->sheets[0].header.value(1), "姓名");
    EXPECT_EQ(book->sheets[0].rows.size(), 5u);

    Click(&screen, "statistics");
    EXPECT_EQ(recorder->navigations.last().screen, "CScoreStatistics");
}

TEST_F(ResultsScreens, StatisticsSayWhenNobodySatAndSaveTheChart) {
    CScoreStatistics empty("安全生产月度考试");
    EXPECT_EQ(Find<QLabel>(&empty, "note")->text(), "此考试没有考生成绩记录！");
    EXPECT_EQ(Find<QLabel>(&empty, "mean")->text(), "—");

    StoreRankedExam();
    CScoreStatistics screen("安全生产月度考试");
    const char* figures[][2] = {{"enrolled", "5"}, {"sat", "4"},     {"absent", "1"},
                                {"mean", "82.50"}, {"median", "85"}, {"deviation", "7.50"},
                                {"highest", "90"}, {"lowest", "70"}, {"passRate", "100.0%"}};
    for (const auto& figure : figures)
        EXPECT_EQ(Find<QLabel>(&screen, figure[0])->text(), figure[1]) << figure[0];
    recorder->saveFileAnswers = {Path("chart")};
    Click(&screen, "saveChart");
    const QImage saved(Path("chart.png"), "PNG");
    EXPECT_EQ(saved.size(), screen.Chart().size());
    Click(&screen, "itemAnalysis");
    EXPECT_EQ(recorder->navigations.last().screen, "CItemAnalysis");
}

TEST_F(ResultsScreens, ItemAnalysisSortsByEachColumnAndExports) {
    StoredScore s;
    s.score = "90";
    const qlonglong strong = StoreScore(s);
    s.score = "40";
    const qlonglong weak = StoreScore(s);
    for (qlonglong id : {strong, weak}) {
        StoreAnswer({id, "1", 1, "单选题", 5, QString("A"), "2", "2"});
        StoreAnswer({id, "1", 2, "判断题", 9, QString("B"), "2", id == strong ? "2" : "0"});
    }
    CItemAnalysis screen(s.examName);
    QTableWidget* table = screen.Table();
    ASSERT_EQ(table->rowCount(), 2);
    auto column = [table](int c) {
        QStringList texts;
        for (int row = 0; row < table->rowCount(); ++row) texts << table->item(row, c)->text();
        return texts;
    };
    EXPECT_EQ(column(CItemAnalysis::kTypeColumn), QStringList({"单选题", "判断题"}));
    EXPECT_EQ(column(CItemAnalysis::kFlagsColumn), QStringList({"过易 区分度低", ""}));
    table->sortByColumn(CItemAnalysis::kDiscriminationColumn, Qt::DescendingOrder);
    EXPECT_EQ(column(CItemAnalysis::kDiscriminationColumn), QStringList({"1.00", "0.00"}));
    table->sortByColumn(CItemAnalysis::kPointBiserialColumn, Qt::AscendingOrder);
    EXPECT_EQ(column(CItemAnalysis::kPointBiserialColumn), QStringList({"—", "1.00"}));

    recorder->saveFileAnswers = {Path("items.xlsx")};
    Click(&screen, "exportExcel");
    QString reason;
    const auto book = xlsx::ReadWorkbook(Path("items.xlsx"), &reason);
    ASSERT_TRUE(book) << reason.toStdString();
    ASSERT_EQ(book->sheets[0].rows.size(), 2u);
    EXPECT_EQ(book->sheets[0].rows[0].Cell(CItemAnalysis::kPointBiserialColumn), "—");
    EXPECT_EQ(book->sheets[0].rows[1].Cell(CItemAnalysis::kFacilityColumn), "0.5") << "a number";
    Click(&screen, "back");
    EXPECT_EQ(recorder->navigations.last().screen, "CScoreStatistics");
}

// 张三 sits the sample exam and answers question 1 right; an outside edit then changes his
// answer to question 2. 李四's result was stored before answer sheets were kept.
TEST_F(ResultsScreens, AnswerSheetMarksTamperedRowsSavesAPdfAndPrintsOlderResultsHaveNone) {
    StoredScore older;
    older.name = QStringLiteral("李四");
    StoreScore(older);
    int questions = 0;
    const QString id = HandInSamplePaper(
        [](int n, const QString&, const QString& reference) -> std::optional<QString> {
            if (n == 1) return reference;
            return std::nullopt;
        },
        &questions);
    CADOConn().ExecuteStatement("update answerSheet set 答题='Z' where 题号=2",
                                schema::kPersonnelFile);

    CCheckScore query;
    Click(&query, "showAll");
    CCheckTable* list = query.ScoreList();
    auto* button = Find<QPushButton>(&query, "answerSheet");
    EXPECT_FALSE(button->isEnabled());
    const QStringList names = Column(list, CCheckScore::kNameColumn);
    list->SetTicked(int(names.indexOf("李四")), true);
    EXPECT_TRUE(button->isEnabled());
    Click(&query, "answerSheet");
    ASSERT_EQ(recorder->messages.size(), 1);
    EXPECT_EQ(recorder->messages[0].text, "这次考试的成绩保存于答卷功能启用之前，没有保存答卷！");
    list->SetTicked(int(names.indexOf("张三")), true);
    EXPECT_FALSE(button->isEnabled()) << "one row at a time";

    // Pictures come from the questions' bank rows: only question 1 has one here, wider than
    // the page's column.
    CADOConn bank;
    for (const QString& type : qtype::Names())
        bank.ExecuteStatement("update " + type + " set 图片=null", schema::kQuestionsFile);
    const RecordsetPtr first = CADOConn().OpenRecordset(
        "select 题型,题目编号 from answerSheet where 考生编号=? and 题号=1", schema::kPersonnelFile,
        {id});
    bank.ExecuteStatement(
        "update " + first->GetText("题型") + " set 图片='sheetpicture' where ID=?",
        schema::kQuestionsFile, {first->GetCollect("题目编号")});
    QImage picture(500, 80, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(QDir().mkpath("QuestionMap") && picture.save("QuestionMap/sheetpicture.bmp"));

    CAnswerSheetView view(id);
    const QString html = Find<QTextBrowser>(&view, "sheet")->toHtml();
    EXPECT_EQ(html.count("<img"), 1);
    EXPECT_TRUE(html.contains("sheetpicture.bmp\" width=\"360\"")) << html.toStdString();
    const QString shown = Find<QTextBrowser>(&view, "sheet")->toPlainText();
    EXPECT_EQ(shown.count("本题记录已被篡改！"), 1);
    EXPECT_TRUE(shown.contains("答卷中有1题的记录已被篡改！"));
    EXPECT_EQ(shown.count("考生答案："), questions);
    // Question 1 earned its points; the others nothing, or wait for grading.
    EXPECT_EQ(shown.count("得分：0分") + shown.count("得分：—"), questions - 1);
    recorder->saveFileAnswers = {Path("答卷.pdf")};
    Click(&view, "savePdf");
    QFile pdf(Path("答卷.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    Click(&view, "print");
    EXPECT_EQ(recorder->printed, QStringList({"张三_安全生产月度考试_答卷"}));
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
