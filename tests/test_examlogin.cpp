#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/formats.h"
#include "data/schema.h"
#include "exam/examlogin.h"
#include "exam/vemodlg.h"
#include "guitest.h"
#include "rules/paperinprogress.h"
#include "ui/common/checklist.h"

namespace {

const QString kPersonnel = schema::kPersonnelFile;
const QString kQuestions = schema::kQuestionsFile;
const QString kSampleExam = QStringLiteral("安全生产月度考试");

class ExamSelection : public GuiTest {
protected:
    // An exam with a valid code and its counter row (no registrations yet); its number.
    static QString AddExam(const QString& name, const QString& paper, const QDateTime& start,
                           const QDateTime& end, const QString& state = QString()) {
        const QString from = FormatExamTime(start), to = FormatExamTime(end);
        CADOConn conn;
        conn.ExecuteStatement(
            "insert into ExamArrange(考试名称,试卷名称,开始时间,结束时间,考试时限,合格分数,时效,"
            "保存码) values(?,?,?,?,'45','12',?,?)",
            kPersonnel,
            {name, paper, from, to, state, codes::ExamCode(name, from, to, "12", state)});
        const QString number =
            conn.OpenRecordset("select MAX(考试号) as vID from ExamArrange", kPersonnel)
                ->GetText("vID");
        conn.ExecuteStatement("insert into JoinExam values(?,0,5)", kPersonnel, {number.toInt()});
        return number;
    }

    // Enrols 张三 with a valid code and moves the exam's counters with it; the row's ID.
    static QString Enrol(const QString& examNo, const QString& passMark = "12") {
        CADOConn conn;
        conn.ExecuteStatement(
            "insert into ExamRegister(姓名,部门,职务,考试号,合格分数,保存码) "
            "values('张三','生产部','操作工',?,?,?)",
            kPersonnel,
            {examNo, passMark, codes::EnrolmentCode("张三", "生产部", "操作工", examNo, passMark)});
        conn.ExecuteStatement(
            "update JoinExam set 考生质量=考生质量+1,考生数量=考生数量+1 where 考试号=?",
            kPersonnel, {examNo.toInt()});
        return conn.OpenRecordset("select MAX(ID) as vID from ExamRegister", kPersonnel)
            ->GetText("vID");
    }

    static void Execute(const QString& sql, const QString& file, const QVariantList& params = {}) {
        CADOConn conn;
        conn.ExecuteStatement(sql, file, params);
    }

    static long Rows(const QString& table) {
        CADOConn conn;
        try {
            return conn.OpenRecordset("select * from " + table, kPersonnel)->RecordCount();
        } catch (const DatabaseError&) {
            return -1;  // no such table
        }
    }

    static QString ZhangSanId() {
        CADOConn conn;
        return conn.OpenRecordset("select * from ExamRegister where 姓名=?", kPersonnel, {"张三"})
            ->GetText("ID");
    }

    void Query(CExamLogin& screen) {
        Identify(screen);
        Click(&screen, "query");
    }

    void Identify(CExamLogin& screen, const QString& name = "张三",
                  const QString& department = "生产部", const QString& position = "操作工") {
        Find<QLineEdit>(&screen, "name")->setText(name);
        auto* departments = Find<QComboBox>(&screen, "department");
        departments->setCurrentIndex(departments->findText(department));
        auto* positions = Find<QComboBox>(&screen, "position");
        positions->setCurrentIndex(positions->findText(position));
    }

    // The listed exams, one "name|state" text per row.
    static QStringList Listed(const CExamLogin& screen) {
        QStringList rows;
        QTableWidget* list = screen.ExamList();
        for (int r = 0; r < list->rowCount(); ++r)
            rows << list->item(r, CExamLogin::kExamNameColumn)->text() + "|" +
                        list->item(r, CExamLogin::kStateColumn)->text();
        return rows;
    }

    static void Tick(CExamLogin& screen, const QString& examName, bool ticked = true) {
        QTableWidget* list = screen.ExamList();
        for (int r = 0; r < list->rowCount(); ++r)
            if (list->item(r, CExamLogin::kExamNameColumn)->text() == examName)
                list->item(r, CExamLogin::kTickColumn)
                    ->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }

    QStringList Notices() const {
        QStringList texts;
        for (const auto& notice : recorder->notices) {
            EXPECT_EQ(notice.title, "Vemo提示");
            EXPECT_EQ(notice.seconds, 6);
            texts << notice.text;
        }
        return texts;
    }
};

TEST_F(ExamSelection, OpensWithAnEmptyPoolAndQueriesOnlyAFullIdentity) {
    Execute(schema::kCreateInterim, kPersonnel);
    Execute("insert into interim(题干) values(?)", kPersonnel, {"上次留下的题"});
    CExamLogin screen;
    EXPECT_EQ(screen.windowTitle(), "Vemo—考试登录");
    EXPECT_EQ(Rows("interim"), 0);
    QTableWidget* list = screen.ExamList();
    QStringList shown;
    for (int c = 0; c < list->columnCount(); ++c)
        if (!list->isColumnHidden(c)) shown << list->horizontalHeaderItem(c)->text();
    EXPECT_EQ(shown, QStringList({"选择", "考试号", "考试名称", "开始时间", "结束时间", "时效"}));

    Identify(screen, "张三", "生产部", "");
    Click(&screen, "query");
    ASSERT_EQ(recorder->messages.size(), 1);
    EXPECT_EQ(recorder->messages[0].text, "查询信息不能有空格！");
    EXPECT_EQ(recorder->messages[0].title, "Vemo提醒");
    Click(&screen, "clear");
    EXPECT_TRUE(Find<QLineEdit>(&screen, "name")->text().isEmpty());
    EXPECT_EQ(Find<QComboBox>(&screen, "department")->currentIndex(), -1);

    // No exam to take is said in the status line, and a query that lists one clears it.
    auto* status = Find<QLabel>(&screen, "status");
    Identify(screen, "无此人");
    Click(&screen, "query");
    EXPECT_EQ(status->text(), "没有找到可参加的考试：请核对姓名、部门和职务。");
    Query(screen);
    EXPECT_EQ(list->rowCount(), 1);
    EXPECT_TRUE(status->text().isEmpty());
}

TEST_F(ExamSelection, ListsStartedExamsAndMarksEndedOnesFromTheEndTimeAlone) {
    Enrol(AddExam("明日考试", "安全生产基础测试", Now().addDays(1), Now().addDays(2)));
    Enrol(AddExam("上周考试", "安全生产基础测试", Now().addDays(-8), Now().addDays(-1)));
    Enrol(AddExam("提前结束的多科考试", "安全与制度综合测试", Now(), Now().addDays(1), "结束"));
    CExamLogin screen;
    Query(screen);
    EXPECT_EQ(Listed(screen),
              QStringList({kSampleExam + "|", "上周考试|已结束", "提前结束的多科考试|"}));
    EXPECT_TRUE(recorder->notices.isEmpty());

    QTableWidget* list = screen.ExamList();
    QStringList sample;
    for (int c = CExamLogin::kExamNoColumn; c < CExamLogin::kColumnCount; ++c)
        sample << list->item(0, c)->text();
    EXPECT_EQ(sample, QStringList({"1", kSampleExam, FormatExamTime(Now().addSecs(-3600)),
                                   FormatExamTime(Now().addDays(7)), "", "60", "19",
                                   "安全生产基础测试", "单科", ZhangSanId()}));
    EXPECT_EQ(list->item(2, CExamLogin::kSubjectModeColumn)->text(), "多科");

    Tick(screen, "上周考试");
    EXPECT_FALSE(screen.EnterExam());
    EXPECT_EQ(Notices(), QStringList({"选择的考试已结束！"}));

    Tick(screen, "提前结束的多科考试");
    const auto ticket = screen.EnterExam();
    ASSERT_TRUE(ticket);
    EXPECT_EQ(ticket->examName, "提前结束的多科考试");
    EXPECT_EQ(ticket->answerKey.count('|'), 10);
    EXPECT_EQ(Rows("exam"), 10);
}

TEST_F(ExamSelection, OneTickAtATimeAndANewQueryForgetsIt) {
    Enrol(AddExam("第二场", "全员综合测试", Now().addSecs(-600), Now().addDays(1)));
    CExamLogin screen;
    Query(screen);
    ASSERT_EQ(screen.ExamList()->rowCount(), 2);
    Tick(screen, kSampleExam);
    Tick(screen, "第二场");
    EXPECT_EQ(screen.ExamList()->item(0, 0)->checkState(), Qt::Unchecked);
    Tick(screen, "第二场", false);
    EXPECT_FALSE(screen.EnterExam());

    Tick(screen, "第二场");
    Click(&screen, "query");
    EXPECT_EQ(screen.ExamList()->rowCount(), 2);
    EXPECT_FALSE(screen.EnterExam()) << "the tick of the earlier list is gone";
    ASSERT_EQ(recorder->messages.size(), 2);
    for (const auto& message : recorder->messages) {
        EXPECT_EQ(message.text, "请选择考试！");
        EXPECT_EQ(message.title, "Vemo提示");
    }

    Tick(screen, kSampleExam);
    const auto ticket = screen.EnterExam();
    ASSERT_TRUE(ticket);
    EXPECT_EQ(ticket->examName, kSampleExam);
    EXPECT_EQ(ticket->timeLimit, "60");
    EXPECT_EQ(ticket->passMark, 19);
    EXPECT_EQ(ticket->registrationId, ZhangSanId());
    EXPECT_EQ(ticket->answerKey.count('|'), 12);
    EXPECT_EQ(Rows("exam"), 12);
    EXPECT_EQ(Rows("interim"), -1) << "the pool is dropped once the paper is drawn";
    EXPECT_TRUE(recorder->notices.isEmpty());
    EXPECT_EQ(recorder->exits, 0);
}

TEST_F(ExamSelection, TheListedRegistrationReceivesTheResult) {
    // 张三's first registration was handed in; he has been enrolled again since.
    codes::ScoreColumns score{ZhangSanId(), "张三", "操作工", kSampleExam,
                              "85",         "19",   "1200",   FormatHandInTime(Now().addDays(-1))};
    Execute("update ExamRegister set 成绩=?,考试名称=?,考试用时=?,考试时间=?,保存码=? where ID=?",
            kPersonnel,
            {score.score, score.examName, score.timeUsed, score.handInTime,
             codes::ScoreCode(score), score.id});
    const QString again = Enrol("1", "19");
    CExamLogin screen;
    Query(screen);
    ASSERT_EQ(screen.ExamList()->rowCount(), 1);
    Tick(screen, kSampleExam);
    const auto ticket = screen.EnterExam();
    ASSERT_TRUE(ticket);
    EXPECT_EQ(ticket->registrationId, again);
}

// A sitting that died goes on only with the exam administrator's password: the same paper,
// its stored answers and the time left; a cancel or a wrong password changes nothing.
TEST_F(ExamSelection, AnUnfinishedSittingResumesOnlyUnderTheExamAdministratorsPassword) {
    CExamLogin first;
    Query(first);
    Tick(first, kSampleExam);
    const auto fresh = first.EnterExam();
    ASSERT_TRUE(fresh);
    // 返回 before 开始考试: nobody saw the questions, the next entry draws anew.
    CVemoDlg(*fresh).Back();
    EXPECT_FALSE(progress::TimeUsed(ZhangSanId()));
    recorder->messages.clear();  // the window's own
    CExamLogin second;
    Query(second);
    Tick(second, kSampleExam);
    const auto drawn = second.EnterExam();
    ASSERT_TRUE(drawn);
    EXPECT_TRUE(recorder->messages.isEmpty());
    progress::StoreAnswer(drawn->registrationId, 1, "B", 125);
    Execute(schema::kDropExam, kPersonnel);  // the station died

    const QString password = codes::InitialPassword(codes::Account::ExamAdmin);
    const struct {
        const char* typed;  // "" cancels
        const char* refusal;
    } cases[] = {{"", nullptr},
                 {"903360", "密码不正确，不能继续考试！"},
                 {"518274", "密码不正确，不能继续考试！"}};  // the system administrator's
    for (const auto& c : cases) {
        recorder->messages.clear();
        recorder->passwordAnswers = {QString::fromUtf8(c.typed)};
        CExamLogin again;
        Query(again);
        Tick(again, kSampleExam);
        EXPECT_FALSE(again.EnterExam()) << c.typed;
        ASSERT_GE(recorder->messages.size(), 1);
        EXPECT_EQ(recorder->messages[0].text,
                  "您上次的考试没有完成，须由考试管理员输入密码后才能继续考试！");
        EXPECT_EQ(recorder->messages[0].title, "Vemo提示");
        EXPECT_EQ(recorder->messages.size(), c.refusal ? 2 : 1);
        if (c.refusal) {
            EXPECT_EQ(recorder->messages[1].text, c.refusal);
        }
        EXPECT_EQ(Rows("exam"), -1) << "nothing drawn or restored";
        EXPECT_EQ(progress::TimeUsed(drawn->registrationId), 125);
    }
    EXPECT_EQ(recorder->passwordDialogs.size(), 3);

    recorder->passwordAnswers = {password};
    CExamLogin again;
    Query(again);
    Tick(again, kSampleExam);
    const auto resumed = again.EnterExam();
    ASSERT_TRUE(resumed);
    EXPECT_EQ(resumed->answerKey, drawn->answerKey);
    EXPECT_EQ(resumed->timeUsed, 125);
    CVemoDlg window(*resumed);
    window.StartExam();
    EXPECT_EQ(window.RemainingSeconds(), 60 * 60 - 125);
    EXPECT_TRUE(Find<QAbstractButton>(&window, "singleB")->isChecked());
}

struct Tampering {
    const char* sql;
    const char* file;
    const char* param;  // nullptr: none
    const char* notice;
    bool ends;
};
void PrintTo(const Tampering& t, std::ostream* os) {
    *os << t.sql;
}

class ExamQueryTampering : public ExamSelection, public ::testing::WithParamInterface<Tampering> {};

TEST_P(ExamQueryTampering, IsNoticedAndEndsOrStopsTheQuery) {
    const Tampering& t = GetParam();
    Execute(t.sql, t.file, t.param ? QVariantList{t.param} : QVariantList());
    CExamLogin screen;
    Query(screen);
    EXPECT_EQ(Notices(), QStringList({t.notice}));
    EXPECT_EQ(recorder->exits, t.ends ? 1 : 0);
    EXPECT_EQ(screen.ExamList()->rowCount(), 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Records, ExamQueryTampering, ::testing::Values(
    Tampering{"update JoinExam set 考生质量=考生质量+1,考生数量=考生数量+1", "personnel.mdb",
              nullptr, "本次考试人员数量被修改,将退出程序！", true},
    Tampering{"update ExamRegister set 合格分数=?", "personnel.mdb", "0",
              "数据库已被篡改,将退出程序！", true},
    Tampering{"delete from JoinExam", "personnel.mdb", nullptr, "数据库已被篡改,将退出程序！", true},
    Tampering{"insert into JoinExam select * from JoinExam", "personnel.mdb", nullptr,
              "数据库已被篡改,将退出程序！", true},
    Tampering{"update ExamArrange set 时效=?", "personnel.mdb", "结束",
              "考试信息已被篡改,将退出程序！", true},
    Tampering{"delete from exampaper where 名称=?", "questions.mdb", "安全生产基础测试",
              "“安全生产基础测试”找不到相应的试卷,将退出程序！", true},
    Tampering{"delete from ExamArrange", "personnel.mdb", nullptr,
              "考试信息已被篡改,无法进行考试！", false}));
// clang-format on

TEST_F(ExamSelection, ATamperedOrDeletedPaperRefusesEntryWithoutEnding) {
    CExamLogin screen;
    Query(screen);
    Tick(screen, kSampleExam);
    Execute("update exampaper set 总题数=? where 名称=?", kQuestions,
                        {"13", "安全生产基础测试"});
    EXPECT_FALSE(screen.EnterExam());
    Execute("delete from exampaper where 名称=?", kQuestions, {"安全生产基础测试"});
    EXPECT_FALSE(screen.EnterExam());
    EXPECT_EQ(Notices(), QStringList({"本次考试的试卷信息已被篡改,无法进行考试！",
                                      "本次考试的试卷已删除,无法考试！"}));
    EXPECT_EQ(recorder->exits, 0);
    EXPECT_EQ(Rows("interim"), 0) << "the pool stays for another try";
}

TEST_F(ExamSelection, ABrokenRuleRefusesEntryAndABankTooSmallEndsTheProgram) {
    auto setJudgeRule = [](const QString& rule) {
        CADOConn conn;
        auto paper = conn.OpenRecordset("select * from exampaper where 名称=?", kQuestions,
                                        {"安全生产基础测试"});
        paper->PutCollect("判断题", rule);
        paper->Update();
        paper->PutCollect("保存码", codes::PaperCode(codes::PaperColumnsOf(*paper)));
        paper->Update();
    };
    CExamLogin screen;
    Query(screen);
    Tick(screen, kSampleExam);
    setJudgeRule("每题1.0分。一线员工:简单=3,");  // no closing ";"
    EXPECT_FALSE(screen.EnterExam());
    EXPECT_EQ(Notices(), QStringList({"本次考试的试卷中“判断题”的组卷规则有误,无法进行考试！"}));
    EXPECT_EQ(recorder->exits, 0);

    setJudgeRule("每题1.0分。一线员工:简单=4,;");  // the bank holds three
    EXPECT_FALSE(screen.EnterExam());
    ASSERT_EQ(recorder->messages.size(), 1);
    EXPECT_EQ(recorder->messages[0].text, "题库中“判断题”数量不符合考卷要求，退出程序！");
    EXPECT_EQ(recorder->messages[0].title, "Vemo警告");
    EXPECT_EQ(recorder->messages[0].icon, MsgIcon::Warning);
    EXPECT_EQ(recorder->exits, 1);
    EXPECT_EQ(Rows("exam"), 0);
}

TEST_F(ExamSelection, BackAndExitDropThePool) {
    {
        CExamLogin screen;
        Click(&screen, "back");
        EXPECT_EQ(Rows("interim"), -1);
        ASSERT_EQ(recorder->navigations.size(), 1);
        EXPECT_EQ(recorder->navigations[0].screen, "CLogin");
    }
    CExamLogin screen;
    EXPECT_EQ(Rows("interim"), 0);
    Click(&screen, "exit");
    EXPECT_EQ(Rows("interim"), -1);
    EXPECT_EQ(recorder->exits, 1);
}

}  // namespace
