#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"
#include "guitest.h"
#include "rules/assembly.h"
#include "ui/papers/setpaper.h"
#include "ui/papers/testmanage.h"
#include "ui/papers/typesection.h"
#include "ui/signin/admin.h"

namespace {

QStringList Messages(const seams::Recorder* recorder) {
    QStringList texts;
    for (const auto& m : recorder->messages) texts << m.text;
    return texts;
}

long CountRows(const QString& sql, const QVariantList& params = {}) {
    CADOConn conn;
    return conn.OpenRecordset(sql, schema::kQuestionsFile, params)->RecordCount();
}

class SetPaperTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        screen = std::make_unique<CSetPaper>();
        screen->show();
    }
    void TearDown() override {
        screen.reset();
        GuiTest::TearDown();
    }

    CTypeSection* Section(const char* type) { return screen->Section(QString::fromUtf8(type)); }
    template <class T>
    T* In(const char* type, const char* name) {
        return Find<T>(Section(type), name);
    }
    // Key by key, Chinese included, as typed by the user.
    void Type(QLineEdit* edit, const char* text) {
        for (const QChar c : QString::fromUtf8(text))
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    void Choose(const char* list, const char* item) {
        auto* combo = Find<QComboBox>(screen.get(), list);
        combo->setCurrentIndex(combo->findText(QString::fromUtf8(item)));
    }
    // One rule through the section's controls; the points only count for the first.
    void AddRule(const char* type, const char* group, const char* difficulty, const char* points,
                 const char* count) {
        Choose("group", group);
        auto* difficulties = In<QComboBox>(type, "difficulty");
        difficulties->setCurrentIndex(difficulties->findText(QString::fromUtf8(difficulty)));
        auto* pointsField = In<QLineEdit>(type, "points");
        if (!pointsField->isReadOnly()) Type(pointsField, points);
        Type(In<QLineEdit>(type, "count"), count);
        Click(Section(type), "addRule");
    }
    QString RuleText(const char* type) {
        return In<QPlainTextEdit>(type, "ruleText")->toPlainText();
    }
    void Name(const char* name) { Type(Find<QLineEdit>(screen.get(), "paperName"), name); }
    // A subject of the 多科 paper: one easy single-choice question.
    void SaveSubject(const char* subject, MsgAnswer answer) {
        Choose("subject", subject);
        const bool rules = QString::fromUtf8(subject) == "规章制度";
        AddRule("单选题", rules ? "管理人员" : "一线员工", "简单", "2", "1");
        recorder->answers.push_back(answer);
        Click(screen.get(), "save");
    }

    std::unique_ptr<CSetPaper> screen;
};

TEST_F(SetPaperTest, OpensInSingleSubjectModeWithFiveEmptySections) {
    EXPECT_EQ(screen->windowTitle(), "Vemo—组卷");
    EXPECT_TRUE(Find<QRadioButton>(screen.get(), "singleSubject")->isChecked());
    auto* subjects = Find<QComboBox>(screen.get(), "subject");
    EXPECT_EQ(subjects->count(), 2);
    EXPECT_EQ(subjects->currentIndex(), -1);
    EXPECT_EQ(Find<QComboBox>(screen.get(), "group")->count(), 4);
    EXPECT_FALSE(Find<QPushButton>(screen.get(), "completeMultiSubject")->isVisible());
    for (const char* type : {"单选题", "判断题", "填空题", "多选题", "问答题"}) {
        EXPECT_EQ(Section(type)->title(), QString::fromUtf8(type));
        EXPECT_FALSE(In<QLineEdit>(type, "questions")->isVisible()) << type;
        EXPECT_FALSE(In<QPushButton>(type, "clearSection")->isVisible()) << type;
    }
    Click(screen.get(), "allSubjects");
    EXPECT_FALSE(subjects->isEnabled());
}

// Assistive tools and the platform's paste change state without clicks or keystrokes.
TEST_F(SetPaperTest, ModeAndDrawCountSetWithoutClicksOrKeysAreStillChecked) {
    Find<QRadioButton>(screen.get(), "allSubjects")->setChecked(true);
    EXPECT_FALSE(Find<QComboBox>(screen.get(), "subject")->isEnabled());
    Choose("group", "一线员工");
    In<QComboBox>("判断题", "difficulty")->setCurrentIndex(0);
    const QString available = In<QLineEdit>("判断题", "available")->text();
    ASSERT_GT(available.toInt(), 0) << "counted as 全科, without a subject";
    Type(In<QLineEdit>("判断题", "points"), "1");
    auto* count = In<QLineEdit>("判断题", "count");
    count->setText(QString::number(available.toInt() + 1));
    Click(Section("判断题"), "addRule");
    EXPECT_EQ(Messages(recorder).last(), "抽取题数不能大于总题数！");
    EXPECT_TRUE(count->text().isEmpty());
    EXPECT_TRUE(RuleText("判断题").isEmpty());
    count->setText(available);
    Click(Section("判断题"), "addRule");
    EXPECT_EQ(RuleText("判断题"), "每题1.0分。\n一线员工:简单=" + available + ",;");
}

TEST_F(SetPaperTest, TypingRulesOfTheNumericFields) {
    // A letter and a second point are not taken; the rest is corrected as typed.
    auto* points = In<QLineEdit>("单选题", "points");
    Type(points, "1.a.25");
    EXPECT_EQ(points->text(), "1.2");
    auto* count = In<QLineEdit>("单选题", "count");
    Type(count, "2");
    EXPECT_EQ(Messages(recorder).last(), "题数不能为空！") << "no difficulty chosen";
    EXPECT_TRUE(count->text().isEmpty());

    Choose("subject", "安全生产");
    Choose("group", "一线员工");
    In<QComboBox>("判断题", "difficulty")->setCurrentIndex(0);
    EXPECT_EQ(In<QLineEdit>("判断题", "available")->text(), "3");
    Choose("group", "管理人员");
    EXPECT_EQ(In<QLineEdit>("判断题", "available")->text(), "0") << "recounted for the group";
    Choose("group", "一线员工");
    Type(In<QLineEdit>("判断题", "points"), "1.5");
    Type(In<QLineEdit>("判断题", "count"), "4");
    EXPECT_EQ(Messages(recorder).last(), "抽取题数不能大于总题数！");
    Type(In<QLineEdit>("判断题", "count"), "3");
    EXPECT_EQ(In<QLineEdit>("判断题", "subtotal")->text(), "4.5");
    Type(In<QLineEdit>("问答题", "count"), "x");
    EXPECT_EQ(Messages(recorder).last(), "抽取题数不能为0！");
}

TEST_F(SetPaperTest, RulesMergePerGroupAndTheSavedPaperIsDrawnByTheExam) {
    Name("期中");
    Choose("subject", "安全生产");
    AddRule("单选题", "一线员工", "简单", "2", "2");
    EXPECT_FALSE(Find<QComboBox>(screen.get(), "subject")->isEnabled());
    EXPECT_TRUE(In<QLineEdit>("单选题", "points")->isReadOnly());
    AddRule("单选题", "一线员工", "中等", "", "1");
    AddRule("单选题", "一线员工", "中等", "", "1");
    EXPECT_EQ(Messages(recorder).last(), "一个对象同一难度只能选择一次！");
    EXPECT_EQ(RuleText("单选题"), "<安全生产>\n每题2.0分。\n一线员工:简单=2,中等=1,;");
    EXPECT_EQ(In<QLineEdit>("单选题", "questions")->text(), "3");
    EXPECT_EQ(In<QLineEdit>("单选题", "total")->text(), "6.0");
    AddRule("多选题", "一线员工", "中等", "3", "2");
    Click(screen.get(), "showTotals");
    EXPECT_EQ(Find<QLineEdit>(screen.get(), "totalQuestions")->text(), "5");
    EXPECT_EQ(Find<QLineEdit>(screen.get(), "fullMarks")->text(), "12.0");

    Click(screen.get(), "save");
    EXPECT_EQ(Messages(recorder).last(), "组卷成功！");
    EXPECT_TRUE(Find<QLineEdit>(screen.get(), "paperName")->text().isEmpty());
    EXPECT_TRUE(RuleText("单选题").isEmpty());
    EXPECT_FALSE(In<QLineEdit>("单选题", "points")->isReadOnly());
    CADOConn bank;
    auto rs =
        bank.OpenRecordset("select * from exampaper where 名称='期中'", schema::kQuestionsFile);
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->GetText("多选题"), "每题3.0分。一线员工:中等=2,;");
    EXPECT_EQ(rs->GetText("判断题"), "空");
    EXPECT_TRUE(codes::PaperIntact(*rs));

    CADOConn personnel;
    schema::RecreateScratchTable(personnel, schema::kPersonnelFile, schema::kCreateInterim,
                                 schema::kDropInterim);
    schema::RecreateScratchTable(personnel, schema::kPersonnelFile, schema::kCreateExam,
                                 schema::kDropExam);
    assembly::MersenneRandom random(3);
    EXPECT_EQ(assembly::AssemblePaper("单科", "期中", random).answerKey.count('|'), 5);

    Name("期中");
    Choose("subject", "安全生产");
    AddRule("判断题", "一线员工", "简单", "1", "1");
    Click(screen.get(), "save");
    EXPECT_EQ(Messages(recorder).last(), "您输入的试卷名称已存在！");
}

TEST_F(SetPaperTest, EditingTheNameOrClearingResetsTheSections) {
    Name("期");
    Choose("subject", "安全生产");
    AddRule("判断题", "一线员工", "简单", "1", "1");
    Name("中");
    EXPECT_TRUE(RuleText("判断题").isEmpty());
    EXPECT_FALSE(In<QLineEdit>("判断题", "points")->isReadOnly());
    EXPECT_TRUE(Find<QComboBox>(screen.get(), "subject")->isEnabled());

    Choose("subject", "安全生产");
    AddRule("判断题", "一线员工", "简单", "1", "1");
    Click(Section("判断题"), "clearSection");
    EXPECT_TRUE(RuleText("判断题").isEmpty());
    EXPECT_FALSE(Find<QComboBox>(screen.get(), "subject")->isEnabled()) << "stays fixed";
    Click(screen.get(), "save");
    EXPECT_EQ(Messages(recorder).last(), "请输入组卷数据！");
    Click(screen.get(), "clearOptions");
    EXPECT_TRUE(Find<QLineEdit>(screen.get(), "paperName")->text().isEmpty());
    Click(screen.get(), "save");
    EXPECT_EQ(Messages(recorder).last(), "请输入的试卷名称！");
}

TEST_F(SetPaperTest, ThreeSubjectsCompletedIntoOneMultiSubjectPaper) {
    CADOConn bank;
    bank.ExecuteStatement("insert into Subject(科目) values('综合')", schema::kQuestionsFile);
    bank.ExecuteStatement(
        "insert into 单选题(科目,题型,题干,答案,难度,对象) "
        "values('综合','单选题','一加一','B','简单','一线员工')",
        schema::kQuestionsFile);
    screen = std::make_unique<CSetPaper>();
    screen->show();

    Click(screen.get(), "multiSubject");
    Name("月考");
    SaveSubject("安全生产", MsgAnswer::Yes);
    EXPECT_FALSE(Find<QLineEdit>(screen.get(), "paperName")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(screen.get(), "clearOptions")->isVisible());
    EXPECT_TRUE(In<QLineEdit>("单选题", "points")->isReadOnly()) << "points fixed for all";
    Choose("subject", "安全生产");
    EXPECT_EQ(Messages(recorder).last(), "此科目已经组卷！");
    SaveSubject("规章制度", MsgAnswer::Yes);
    SaveSubject("综合", MsgAnswer::Yes);
    EXPECT_EQ(recorder->messages[recorder->messages.size() - 1].text,
              "多科第3个科目组卷成功，是否继续？\n继续组卷请按'是'，放弃组卷请按'否'；\n"
              "完成组卷按'是'后再请按“多科完成”。");

    Click(screen.get(), "back");
    EXPECT_EQ(Messages(recorder).last(), "多科组卷未完成，不能退出");
    screen->close();
    EXPECT_TRUE(screen->isVisible()) << "the title-bar close is refused as well";
    EXPECT_TRUE(recorder->navigations.isEmpty());

    Click(screen.get(), "completeMultiSubject");
    EXPECT_EQ(Messages(recorder).last(), "完成多科组卷！");
    EXPECT_EQ(CountRows("select * from testpaper where 名称='月考'"), 3);
    auto summary =
        bank.OpenRecordset("select * from exampaper where 名称='月考'", schema::kQuestionsFile);
    EXPECT_EQ(summary->GetText("单选题"), "单选题包含3个科目");
    EXPECT_EQ(summary->GetText("总题数"), "3");
    EXPECT_TRUE(codes::PaperIntact(*summary));
    Click(screen.get(), "back");
    ASSERT_EQ(recorder->navigations.size(), 1);
    EXPECT_EQ(recorder->navigations.last().screen, "CTestManage");
}

TEST_F(SetPaperTest, NoAfterTheSecondSubjectRemovesBoth) {
    Click(screen.get(), "multiSubject");
    Name("作废");
    SaveSubject("安全生产", MsgAnswer::No);
    EXPECT_EQ(CountRows("select * from testpaper where 名称='作废'"), 0)
        << "first No saves nothing";
    Name("作废");
    SaveSubject("安全生产", MsgAnswer::Yes);
    SaveSubject("规章制度", MsgAnswer::No);
    EXPECT_EQ(CountRows("select * from testpaper where 名称='作废'"), 0);
    EXPECT_TRUE(Find<QLineEdit>(screen.get(), "paperName")->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(screen.get(), "singleSubject")->isEnabled());
    Click(screen.get(), "back");
    EXPECT_EQ(recorder->navigations.size(), 1) << "leaving is allowed again";
}

class TestManageTest : public GuiTest {
protected:
    std::unique_ptr<CTestManage> Open() {
        auto screen = std::make_unique<CTestManage>();
        screen->show();
        return screen;
    }
    static QPoint RowPoint(CTestManage* screen, int row) {
        QTableWidget* list = screen->PaperList();
        return list->visualRect(list->model()->index(row, 1)).center();
    }
};

TEST_F(TestManageTest, ListsEveryPaperAndShowsItsDetails) {
    auto screen = Open();
    QTableWidget* list = screen->PaperList();
    EXPECT_EQ(screen->windowTitle(), "Vemo—试卷管理");
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->item(2, 0)->text(), "3");
    EXPECT_EQ(list->item(2, 1)->text(), "安全与制度综合测试");
    EXPECT_EQ(list->item(2, 2)->text(), "单选题包含2个科目");
    EXPECT_EQ(list->columnWidth(9), 168);
    EXPECT_TRUE(list->isColumnHidden(10));
    EXPECT_FALSE(Find<QPushButton>(screen.get(), "clear")->isVisible());

    auto below = screen->RowMenu(QPoint(50, list->viewport()->height() - 5));
    for (QAction* item : below->actions()) EXPECT_FALSE(item->isEnabled());
    auto menu = screen->RowMenu(RowPoint(screen.get(), 0));
    ASSERT_TRUE(menu->actions()[0]->isEnabled());
    menu->actions()[0]->trigger();
    EXPECT_EQ(Find<QLabel>(screen.get(), "section0")->text(),
              "每题2.0分。一线员工:简单=3,中等=1,;");
    EXPECT_TRUE(Find<QPushButton>(screen.get(), "clear")->isVisible());
    Click(screen.get(), "clear");
    EXPECT_TRUE(Find<QLabel>(screen.get(), "section0")->text().isEmpty());

    screen->PaperList()->clearSelection();
    Click(screen.get(), "export");
    EXPECT_EQ(Messages(recorder).last(), "请左键点击选择试卷！");
    Click(screen.get(), "compose");
    EXPECT_EQ(recorder->navigations.last().screen, "CSetPaper");
}

TEST_F(TestManageTest, DeletingAMultiSubjectPaperRemovesItsSubjects) {
    auto screen = Open();
    auto menu = screen->RowMenu(RowPoint(screen.get(), 2));
    menu->actions()[0]->trigger();
    menu->actions()[1]->trigger();
    EXPECT_FALSE(Find<QPushButton>(screen.get(), "clear")->isVisible()) << "details hidden";
    EXPECT_EQ(screen->PaperList()->rowCount(), 2);
    EXPECT_EQ(CountRows("select * from testpaper"), 0);
    screen->RowMenu(RowPoint(screen.get(), 0))->actions()[1]->trigger();
    EXPECT_EQ(screen->PaperList()->rowCount(), 1);
    EXPECT_EQ(screen->PaperList()->item(0, 0)->text(), "1");
    EXPECT_EQ(recorder->exits, 0);
}

TEST_F(TestManageTest, ATamperedPaperEndsTheListing) {
    CADOConn bank;
    bank.ExecuteStatement("update exampaper set 单选题='空' where 名称='全员综合测试'",
                          schema::kQuestionsFile);
    auto screen = Open();
    EXPECT_EQ(Messages(recorder), QStringList({"保存的试卷信息已被篡改,将退出程序！"}));
    EXPECT_EQ(recorder->exits, 1);
    EXPECT_EQ(screen->PaperList()->rowCount(), 2) << "nothing listed after it";
}

TEST_F(TestManageTest, AdminOpensPaperManagementAndItLeadsBack) {
    CAdmin admin;
    admin.show();
    Click(&admin, "paperManagement");
    ASSERT_EQ(recorder->navigations.size(), 1);
    EXPECT_EQ(recorder->navigations.last().screen, "CTestManage");
    auto screen = Open();
    Click(screen.get(), "back");
    EXPECT_EQ(recorder->navigations.last().screen, "CAdmin");
    Click(screen.get(), "exit");
    EXPECT_EQ(recorder->exits, 1);
}

}  // namespace
