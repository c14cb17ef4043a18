#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimeEdit>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"
#include "exam/examlogin.h"
#include "exam/vemodlg.h"
#include "examdata.h"
#include "guitest.h"
#include "rules/exams.h"
#include "ui/common/checklist.h"
#include "ui/exams/createexam.h"
#include "ui/exams/exammanagement.h"
#include "ui/exams/exammanager.h"
#include "ui/signin/admin.h"
#include "ui/signin/login.h"

namespace {

using namespace examdata;

const QString kPersonnel = schema::kPersonnelFile;
const QString kQuestions = schema::kQuestionsFile;

class ExamArranging : public GuiTest {
protected:
    static QStringList Column(const CCheckList* list, int column) {
        QStringList texts;
        for (int row = 0; row < list->rowCount(); ++row) texts << list->Text(row, column);
        return texts;
    }
    static void Choose(QWidget* screen, const char* combo, const QString& text) {
        auto* list = Find<QComboBox>(screen, combo);
        list->setCurrentIndex(list->findText(text));
    }
    QString LastMessage() const {
        return recorder->messages.isEmpty() ? QString() : recorder->messages.last().text;
    }
    // Fills the form of the creation screen with a complete exam of the sample paper.
    void FillForm(CCreateExam& screen, const QString& name, const QString& passMark = "19") {
        Find<QLineEdit>(&screen, "examName")->setText(name);
        Find<QLineEdit>(&screen, "timeLimit")->setText("60");
        Find<QLineEdit>(&screen, "passMark")->setText(passMark);
        Find<QDateEdit>(&screen, "endDate")->setDate(Now().date().addDays(1));
        screen.PaperList()->SetTicked(0, true);
    }
    // Lists the department's examinees on the left and moves the named ones right.
    void Move(CCreateExam& screen, const QString& department, const QStringList& names) {
        Choose(&screen, "department", department);
        Click(&screen, "show");
        for (int row = 0; row < screen.LeftList()->rowCount(); ++row)
            screen.LeftList()->SetTicked(
                row, names.contains(screen.LeftList()->Text(row, CCreateExam::kName)));
        Click(&screen, "moveRight");
    }
};

TEST_F(ExamArranging, CreationScreenListsVerifiedPapersAndTheDepartments) {
    CCreateExam screen;
    EXPECT_EQ(screen.windowTitle(), "Vemo—创建考试");
    EXPECT_EQ(Column(screen.PaperList(), CCreateExam::kPaperName),
              QStringList({"安全生产基础测试", "全员综合测试", "安全与制度综合测试"}));
    EXPECT_EQ(Column(screen.PaperList(), CCreateExam::kFullMarks),
              QStringList({"31.0", "19.0", "34.0"}));
    EXPECT_EQ(Find<QComboBox>(&screen, "department")->count(), 4);
    EXPECT_EQ(Find<QDateEdit>(&screen, "startDate")->displayFormat(), "yyyy-MM-dd");
    EXPECT_EQ(Find<QTimeEdit>(&screen, "endTime")->displayFormat(), "HH:mm");
    EXPECT_TRUE(recorder->messages.isEmpty());

    Execute("update exampaper set 满分='99' where 名称='全员综合测试'", kQuestions);
    CCreateExam tampered;
    EXPECT_EQ(LastMessage(), QStringLiteral("保存的试卷已被篡改,将退出程序！"));
    EXPECT_EQ(recorder->messages.last().title, QStringLiteral("Vemo警告"));
    EXPECT_EQ(recorder->exits, 1);

    Execute("delete from exampaper", kQuestions);
    CCreateExam empty;
    EXPECT_EQ(empty.PaperList()->rowCount(), 0);
    EXPECT_EQ(Find<QComboBox>(&empty, "department")->count(), 0);
}

TEST_F(ExamArranging, ListsEditOnScreenAndSavingRegistersAMovedTwiceExamineeOnce) {
    CCreateExam screen;
    Click(&screen, "show");
    EXPECT_EQ(LastMessage(), QStringLiteral("查询条件不能为空！"));

    Move(screen, "生产部", {"张三", "李四"});
    EXPECT_EQ(screen.LeftList()->rowCount(), 0);
    EXPECT_EQ(Find<QComboBox>(&screen, "department")->currentIndex(), -1);
    Move(screen, "技术部", {});
    Move(screen, "生产部", {"张三"});
    EXPECT_EQ(Column(screen.RightList(), CCreateExam::kName),
              QStringList({"张三", "李四", "张三"}));
    EXPECT_EQ(Column(screen.LeftList(), CCreateExam::kName), QStringList({"李四"}));
    screen.RightList()->SetTicked(1, true);
    Click(&screen, "delete");
    EXPECT_EQ(Column(screen.RightList(), CCreateExam::kName), QStringList({"张三", "张三"}));

    FillForm(screen, "十二月考试", "31");  // equal to the full marks
    screen.PaperList()->SetTicked(1, true);
    EXPECT_EQ(screen.PaperList()->TickedRows(), QList<int>({1}));
    screen.PaperList()->SetTicked(1, false);
    EXPECT_TRUE(Find<QLabel>(&screen, "paperName")->text().isEmpty());
    Click(&screen, "save");
    EXPECT_EQ(LastMessage(), QStringLiteral("请选择试卷！"));
    screen.PaperList()->SetTicked(0, true);
    EXPECT_EQ(Find<QLabel>(&screen, "paperName")->text(), QStringLiteral("安全生产基础测试"));
    Click(&screen, "save");
    EXPECT_EQ(LastMessage(), QStringLiteral("考试创建成功!"));
    CADOConn conn;
    const QString number =
        conn.OpenRecordset("select * from ExamArrange where 考试名称='十二月考试'", kPersonnel)
            ->GetText("考试号");
    EXPECT_EQ(Counters(number), "1/6/1");
    EXPECT_EQ(screen.RightList()->rowCount(), 0);
    EXPECT_EQ(screen.LeftList()->rowCount(), 0);
    EXPECT_TRUE(Find<QLineEdit>(&screen, "examName")->text().isEmpty());
    EXPECT_TRUE(Find<QLineEdit>(&screen, "passMark")->text().isEmpty());
    EXPECT_EQ(screen.PaperList()->TickedRows(), QList<int>({0})) << "the paper stays chosen";
}

TEST_F(ExamArranging, ABankThatCannotFillThePaperAsksBeforeAnythingIsWritten) {
    Execute("delete from 多选题 where 题干 like '发生触电%'", kQuestions);
    CCreateExam screen;
    Move(screen, "办公室", {"钱七"});
    FillForm(screen, "缺题考试");
    recorder->answers = {MsgAnswer::No};
    Click(&screen, "save");
    EXPECT_TRUE(
        LastMessage().contains("多选题（安全生产，一线员工，中等）：需要2题，题库只有1题，缺1题"))
        << LastMessage().toStdString();
    EXPECT_EQ(recorder->messages.last().buttons, MsgButtons::YesNo);
    EXPECT_EQ(Count("select * from ExamArrange"), 1);
    EXPECT_EQ(screen.RightList()->rowCount(), 1) << "the form is kept for another try";

    recorder->answers = {MsgAnswer::Yes};
    Click(&screen, "save");
    EXPECT_EQ(LastMessage(), QStringLiteral("考试创建成功!"));
    EXPECT_EQ(Count("select * from ExamArrange"), 2);
}

TEST_F(ExamArranging, ManagementListsEndsAndOffersTheUnregisteredNames) {
    exams::ExamForm expired;
    expired.name = "已过期考试";
    expired.paperName = "安全生产基础测试";
    expired.timeLimit = "60";
    expired.passMark = "19";
    expired.start = Now().addDays(-2);
    expired.end = Now();
    exams::CreateExam(expired, {{"张三", "生产部", "操作工"}});
    Execute("insert into examinee(姓名,部门,职务) values('钱七','技术部','技术员')");

    CExamManagement screen;
    EXPECT_EQ(screen.windowTitle(), "Vemo—考试管理");
    CCheckList* list = screen.ExamList();
    EXPECT_EQ(Column(list, 1), QStringList({"1", "2"}));
    EXPECT_EQ(Column(list, CExamManagement::kState), QStringList({"", "结束"}));
    EXPECT_TRUE(list->isColumnHidden(CExamManagement::kExamNo));
    EXPECT_EQ(Count("select * from ExamArrange where 时效='结束'"), 1);

    list->SetTicked(0, true);
    EXPECT_EQ(Find<QLineEdit>(&screen, "examName")->text(), QStringLiteral("安全生产月度考试"));
    auto* names = Find<QComboBox>(&screen, "addName");
    ASSERT_EQ(names->count(), 2);
    EXPECT_EQ(names->itemText(0), QStringLiteral("钱七"));
    EXPECT_EQ(names->itemText(1), QStringLiteral("钱七"));
    names->setCurrentIndex(1);
    EXPECT_EQ(Find<QLineEdit>(&screen, "addDepartment")->text(), QStringLiteral("办公室"));
    EXPECT_EQ(Find<QLineEdit>(&screen, "addPosition")->text(), QStringLiteral("文员"));
    list->SetTicked(0, false);
    EXPECT_EQ(names->count(), 0);
    EXPECT_TRUE(Find<QLineEdit>(&screen, "examName")->text().isEmpty());
}

TEST_F(ExamArranging, EveryTamperCaseEndsTheProgramWithItsMessage) {
    struct Case {
        const char* edit;
        bool showExaminees;
        const char* message;
    };
    const Case cases[] = {
        {"update ExamArrange set 结束时间='2030/01/01 00:00'", false,
         "保存的考试信息已被篡改,将退出程序！"},
        {"delete from JoinExam", true, "考生信息已被篡改,将退出程序！"},
        {"insert into JoinExam values(1,4,9)", true, "数据库已被篡改,将退出程序！"},
        {"update JoinExam set 考生质量=5,考生数量=10", true,
         "本次考试的考生数量被修改,将退出程序！"},
        {"update ExamRegister set 部门='技术部' where 姓名='赵六'", true,
         "未参加考试的考生信息已被篡改,将退出程序！"},
    };
    KeepOriginal(kPersonnel);
    for (const Case& c : cases) {
        RestoreOriginal(kPersonnel);
        Execute(QString::fromUtf8(c.edit));
        recorder->messages.clear();
        recorder->exits = 0;
        CExamManagement screen;
        if (c.showExaminees) {
            screen.ExamList()->SetTicked(0, true);
            Click(&screen, "showExaminees");
        }
        ASSERT_EQ(recorder->messages.size(), 1) << c.edit;
        EXPECT_EQ(LastMessage(), QString::fromUtf8(c.message)) << c.edit;
        EXPECT_EQ(recorder->messages.last().icon, MsgIcon::Warning);
        EXPECT_EQ(recorder->exits, 1) << c.edit;
    }
}

TEST_F(ExamArranging, RemovingAndAddingKeepTheCountersAndNeverRemoveAScoredRow) {
    Execute("update ExamRegister set 成绩='20' where 姓名='张三'");
    CExamManagement screen;
    Click(&screen, "showExaminees");
    EXPECT_EQ(LastMessage(), QStringLiteral("请选择考卷！"));
    screen.ExamList()->SetTicked(0, true);
    Click(&screen, "showExaminees");
    CCheckList* examinees = screen.ExamineeList();
    EXPECT_EQ(Column(examinees, CExamManagement::kStatus), QStringList({"已考", "", "", ""}));
    examinees->SetTicked(0, true);
    examinees->SetTicked(2, true);
    Click(&screen, "removeExaminees");
    EXPECT_EQ(LastMessage(), QStringLiteral("'张三'已完成考试，不能删除！"));
    EXPECT_EQ(Column(examinees, CExamManagement::kName), QStringList({"张三", "李四", "赵六"}));
    EXPECT_EQ(Counters("1"), "3/8/3");

    Find<QComboBox>(&screen, "addName")->setCurrentIndex(0);  // 钱七 or 王五
    Click(&screen, "addExaminee");
    EXPECT_EQ(LastMessage(), QStringLiteral("添加成功!"));
    EXPECT_EQ(Counters("1"), "4/9/4");
    EXPECT_TRUE(screen.ExamList()->TickedRows().isEmpty()) << "the exam is forgotten";
    EXPECT_EQ(examinees->rowCount(), 0);
    Click(&screen, "addExaminee");
    EXPECT_EQ(LastMessage(), QStringLiteral("考生信息不能为空，请选择考试！"));
}

TEST_F(ExamArranging, DeletingAnExamAsksFirst) {
    CExamManagement screen;
    Click(&screen, "deleteExam");
    EXPECT_EQ(LastMessage(), QStringLiteral("请选择考试！"));
    screen.ExamList()->SetTicked(0, true);
    recorder->answers = {MsgAnswer::No, MsgAnswer::Yes};
    Click(&screen, "deleteExam");
    EXPECT_EQ(Count("select * from ExamArrange"), 1);
    Click(&screen, "deleteExam");
    EXPECT_TRUE(
        LastMessage().startsWith(QStringLiteral("删除考试后，参加此考试保存的所有考生成绩")));
    EXPECT_EQ(Count("select * from ExamArrange"), 0);
    EXPECT_EQ(Count("select * from ExamRegister"), 0);
    EXPECT_EQ(Count("select * from JoinExam"), 0);
    EXPECT_EQ(screen.ExamList()->rowCount(), 0);
}

TEST_F(ExamArranging, ButtonsLeadToTheirScreens) {
    struct Case {
        std::function<QDialog*()> make;
        const char* button;
        const char* next;
    };
    const Case cases[] = {
        {[] { return new CExamManager; }, "examManagement", "CExamManagement"},
        {[] { return new CAdmin; }, "examManagement", "CExamManagement"},
        {[] { return new CExamManagement; }, "createExam", "CCreateExam"},
        {[] { return new CExamManagement; }, "back", "CExamManager"},
        {[] { return new CCreateExam; }, "back", "CExamManagement"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QDialog> screen(c.make());
        Click(screen.get(), c.button);
        ASSERT_FALSE(recorder->navigations.isEmpty()) << c.button;
        EXPECT_EQ(recorder->navigations.last().screen, c.next) << c.button;
        EXPECT_NE(recorder->TakeNextScreen(), nullptr);
    }
}

TEST_F(ExamArranging, AnExamCreatedHereIsTakenToAStoredResult) {
    {
        CCreateExam screen;
        Move(screen, "办公室", {"钱七"});
        FillForm(screen, "钱七的考试");
        Click(&screen, "save");
        ASSERT_EQ(LastMessage(), QStringLiteral("考试创建成功!"));
    }

    CLogin login;
    Click(&login, "examineeEntry");
    std::unique_ptr<QDialog> next = recorder->TakeNextScreen();
    auto* selection = dynamic_cast<CExamLogin*>(next.get());
    ASSERT_NE(selection, nullptr);
    Find<QLineEdit>(selection, "name")->setText(QStringLiteral("钱七"));
    Choose(selection, "department", "办公室");
    Choose(selection, "position", "文员");
    Click(selection, "query");
    ASSERT_EQ(selection->ExamList()->rowCount(), 1);
    EXPECT_EQ(selection->ExamList()->Text(0, CExamLogin::kExamNameColumn),
              QStringLiteral("钱七的考试"));
    selection->ExamList()->SetTicked(0, true);
    Click(selection, "enter");
    next = recorder->TakeNextScreen();
    auto* window = dynamic_cast<CVemoDlg*>(next.get());
    ASSERT_NE(window, nullptr);

    Click(window, "start");
    recorder->answers = {MsgAnswer::Yes, MsgAnswer::No};  // hand in, no review
    Click(window, "handIn");
    CADOConn conn;
    auto result = conn.OpenRecordset("select * from ExamRegister where 姓名='钱七'", kPersonnel);
    ASSERT_EQ(result->RecordCount(), 1);
    EXPECT_EQ(result->GetText("成绩"), "0");
    EXPECT_EQ(result->GetText("考试名称"), QStringLiteral("钱七的考试"));
    EXPECT_TRUE(codes::ScoreIntact(*result));
}

}  // namespace
