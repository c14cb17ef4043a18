#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"
#include "examdata.h"
#include "rules/assembly.h"
#include "rules/exams.h"
#include "rules/signin.h"
#include "testutil.h"

namespace {

using exams::RegistrationVerdict;
using namespace examdata;

const QString kPersonnel = schema::kPersonnelFile;
const QString kSamplePaper = QStringLiteral("安全生产基础测试");
const QString kSampleExam = QStringLiteral("安全生产月度考试");

// The delivered sample: one open exam (number 1) with 张三, 李四, 王五 and 赵六.
class ExamRules : public DataFolderTest {
protected:
    static exams::ExamForm Form(const QString& name = QStringLiteral("新员工考试")) {
        exams::ExamForm form;
        form.name = name;
        form.timeLimit = "45";
        form.paperName = kSamplePaper;
        form.fullMarks = "31.0";
        form.passMark = "19";
        form.start = Now();
        form.end = Now().addDays(1);
        return form;
    }
    // The whole of personnel.mdb's exam tables, to compare before and after.
    static QString Snapshot() {
        QStringList rows;
        CADOConn conn;
        for (const char* table : {"ExamArrange", "ExamRegister", "JoinExam", "quesAndAns"}) {
            auto rs = conn.OpenRecordset(QString("select * from ") + table, kPersonnel);
            for (; !rs->IsEOF(); rs->MoveNext()) {
                QStringList cells;
                for (const QString& column : rs->Columns()) cells << rs->GetText(column);
                rows << QString(table) + ":" + cells.join('|');
            }
        }
        return rows.join('\n');
    }
    const std::vector<Examinee> zhangLi = {{"张三", "生产部", "操作工"},
                                           {"李四", "生产部", "班组长"}};
};

TEST_F(ExamRules, SaveChecksRunInOrderAndEachRefusesWithItsMessage) {
    struct Case {
        const char* what;
        std::function<void(exams::ExamForm&)> change;
        int examinees;
        const char* refusal;
    };
    const Case cases[] = {
        {"complete", [](exams::ExamForm&) {}, 1, ""},
        {"no name, no paper",
         [](exams::ExamForm& f) {
             f.name.clear();
             f.paperName.clear();
         },
         1, "请输入考试名称！"},
        {"no time limit", [](exams::ExamForm& f) { f.timeLimit.clear(); }, 0, "请输入答题时限！"},
        {"no paper ticked", [](exams::ExamForm& f) { f.paperName.clear(); }, 1, "请选择试卷！"},
        {"no pass mark", [](exams::ExamForm& f) { f.passMark.clear(); }, 1, "请输入合格分数！"},
        {"pass mark above full marks", [](exams::ExamForm& f) { f.passMark = "32"; }, 1,
         "合格分数不能大于满分！"},
        {"pass mark equal to full marks", [](exams::ExamForm& f) { f.passMark = "31"; }, 1, ""},
        {"name of an existing exam", [](exams::ExamForm& f) { f.name = kSampleExam; }, 0,
         "您输入的考试名称已存在！"},
        {"nobody chosen", [](exams::ExamForm&) {}, 0, "试卷名为空或未选取考生！"},
    };
    for (const Case& c : cases) {
        exams::ExamForm form = Form();
        c.change(form);
        EXPECT_EQ(exams::CreationRefusal(form, c.examinees), QString::fromUtf8(c.refusal))
            << c.what;
    }
}

TEST_F(ExamRules, CreatedExamRegistersEachExamineeOnceAndPassesTheExamineeChecks) {
    std::vector<Examinee> chosen = zhangLi;
    chosen.push_back(zhangLi[0]);  // moved twice
    const qlonglong number = exams::CreateExam(Form(), chosen);
    const QString examNo = QString::number(number);
    EXPECT_EQ(Counters(examNo), "2/7/2");

    CADOConn conn;
    auto exam =
        conn.OpenRecordset("select * from ExamArrange where 考试号=?", kPersonnel, {number});
    ASSERT_EQ(exam->RecordCount(), 1);
    EXPECT_EQ(exam->GetText("考试名称"), QStringLiteral("新员工考试"));
    EXPECT_EQ(exam->GetText("开始时间"), "2026/12/09 10:30");
    EXPECT_EQ(exam->GetText("结束时间"), "2026/12/10 10:30");
    EXPECT_EQ(exam->GetText("考试时限"), "45");
    EXPECT_TRUE(exam->IsNull("时效"));
    EXPECT_TRUE(codes::ExamIntact(*exam));
    auto rows =
        conn.OpenRecordset("select * from ExamRegister where 考试号=?", kPersonnel, {examNo});
    QStringList names;
    for (; !rows->IsEOF(); rows->MoveNext()) {
        names << rows->GetText("姓名");
        EXPECT_TRUE(codes::EnrolmentIntact(*rows));
    }
    EXPECT_EQ(names, QStringList({"张三", "李四"}));
    EXPECT_EQ(signin::CheckExamineeEntry(Now()), signin::EntryVerdict::Proceed);
    EXPECT_EQ(exams::CheckRegistrations(examNo).verdict, RegistrationVerdict::Listed);
}

TEST_F(ExamRules, ListingEndsExpiredExamsWithACodeThatVerifiesAndNeverReSignsAnEditedOne) {
    exams::ExamForm endsBeforeStart = Form("倒置时间"), endsThisMinute = Form("本分钟结束");
    endsBeforeStart.end = Now().addDays(-2);
    endsThisMinute.end = Now();
    const QString before = QString::number(exams::CreateExam(endsBeforeStart, zhangLi));
    const QString thisMinute = QString::number(exams::CreateExam(endsThisMinute, zhangLi));

    exams::ExamListing listing = exams::ListExams(Now());
    ASSERT_FALSE(listing.tampered);
    QStringList states;
    for (const auto& e : listing.exams) states << e.number + ":" + e.state;
    EXPECT_EQ(states, QStringList({"1:", before + ":结束", thisMinute + ":结束"}));
    CADOConn conn;
    auto rows = conn.OpenRecordset("select * from ExamArrange", kPersonnel);
    for (; !rows->IsEOF(); rows->MoveNext()) EXPECT_TRUE(codes::ExamIntact(*rows));
    conn.CloseDatabase();
    EXPECT_FALSE(exams::ListExams(Now()).tampered) << "a second pass verifies the new codes";

    // An expired exam edited in the file is reported, not ended with a fresh code.
    exams::ExamForm expired = Form("已过期");
    expired.end = Now().addSecs(-60);
    const QString edited = QString::number(exams::CreateExam(expired, zhangLi));
    Execute("update ExamArrange set 合格分数='1' where 考试号=" + edited);
    listing = exams::ListExams(Now());
    EXPECT_TRUE(listing.tampered);
    EXPECT_EQ(listing.exams.back().number, edited);
    EXPECT_EQ(Count("select * from ExamArrange where 考试号=" + edited + " and 时效 is null"), 1);
}

TEST_F(ExamRules, AddingAndRemovingMoveBothCountersWithTheRegistrations) {
    const Examinee qian{"钱七", "办公室", "文员"};
    EXPECT_EQ(exams::AddRegistration("1", "19", qian), exams::AddOutcome::Added);
    EXPECT_EQ(Counters("1"), "5/10/5");
    EXPECT_EQ(exams::CheckRegistrations("1").verdict, RegistrationVerdict::Listed);

    auto listed = exams::ListRegistrations("1");
    ASSERT_EQ(listed.size(), 5u);
    EXPECT_TRUE(exams::RemoveRegistration(listed[4].id, "1"));
    EXPECT_EQ(Counters("1"), "4/9/4");

    // A scored registration stays, whatever the screen thought of it.
    Execute("update ExamRegister set 成绩='20' where 姓名='张三'");
    EXPECT_FALSE(exams::RemoveRegistration(listed[0].id, "1"));
    EXPECT_EQ(Counters("1"), "4/9/4");
    EXPECT_EQ(exams::CheckRegistrations("1").verdict, RegistrationVerdict::Listed)
        << "a scored registration's code is not examined here";

    Execute("update ExamArrange set 时效='结束'");
    EXPECT_EQ(exams::AddRegistration("1", "19", qian), exams::AddOutcome::ExamEnded);
    EXPECT_EQ(Counters("1"), "4/9/4");
}

TEST_F(ExamRules, DeletingAnExamTakesEverythingOfItAndNothingElse) {
    const QString other = QString::number(exams::CreateExam(Form(), zhangLi));
    Execute("insert into quesAndAns(姓名,考试号,题干) values('张三','1','简述')");
    Execute("insert into quesAndAns(姓名,考试号,题干) values('张三','" + other + "','简述')");
    exams::DeleteExam("1");
    EXPECT_EQ(Count("select * from ExamArrange"), 1);
    EXPECT_EQ(Count("select * from ExamRegister where 考试号='1'"), 0);
    EXPECT_EQ(Count("select * from quesAndAns"), 1);
    EXPECT_EQ(Counters("1"), "none/0");
    EXPECT_EQ(Counters(other), "2/7/2");

    // An exam without registrations or answers has only its own row to lose.
    const QString empty = QString::number(exams::CreateExam(Form("无人考试"), {}));
    EXPECT_EQ(Counters(empty), "none/0");
    exams::DeleteExam(empty);
    EXPECT_EQ(Count("select * from ExamArrange"), 1);
}

TEST_F(ExamRules, AFailureMidwayLeavesTheOldStateWhole) {
    struct Case {
        const char* trigger;  // aborts the last step of the operation
        std::function<void()> operation;
    };
    const Case cases[] = {
        {"before insert on JoinExam", [this] { exams::CreateExam(Form(), zhangLi); }},
        {"before delete on JoinExam", [] { exams::DeleteExam("1"); }},
        {"before update on JoinExam",
         [] {
             exams::AddRegistration("1", "19", {"钱七", "办公室", "文员"});
         }},
        {"before update on JoinExam",
         [] { exams::RemoveRegistration(exams::ListRegistrations("1")[0].id, "1"); }},
    };
    for (const Case& c : cases) {
        const QString before = Snapshot();
        Execute(QString("create trigger killed %1 begin select raise(abort,'killed'); end")
                    .arg(c.trigger));
        EXPECT_THROW(c.operation(), DatabaseError) << c.trigger;
        Execute("drop trigger killed");
        EXPECT_EQ(Snapshot(), before) << c.trigger;
    }
}

// The bank check must agree with the draw: what it finds sufficient assembles, what it
// finds short does not.
TEST_F(ExamRules, BankCheckCountsWhatTheDrawNeedsForEveryKindOfPaper) {
    struct Case {
        const char* paper;
        const char* change;  // on questions.mdb; empty for none
        const char* shortfall;
    };
    const Case cases[] = {
        {"安全生产基础测试", "", ""},
        {"全员综合测试", "", ""},
        {"安全与制度综合测试", "", ""},
        {"安全生产基础测试", "delete from 单选题 where 题干 like '干粉%'",
         "单选题（安全生产，一线员工，简单）：需要3题，题库只有2题，缺1题。"},
        {"安全与制度综合测试", "delete from 问答题 where 科目='规章制度'",
         "问答题（规章制度，管理人员，中等）：需要1题，题库只有0题，缺1题。"},
        {"全员综合测试", "update 填空题 set 难度='困难' where 对象='管理人员'",
         "填空题（管理人员，中等）：需要1题，题库只有0题，缺1题。"},
        {"安全生产基础测试", "update exampaper set 判断题='每题1分' where 名称='安全生产基础测试'",
         "“判断题”的组卷规则有误"},
    };
    KeepOriginal(schema::kQuestionsFile);
    for (const Case& c : cases) {
        RestoreOriginal(schema::kQuestionsFile);
        if (*c.change) Execute(QString::fromUtf8(c.change), schema::kQuestionsFile);
        const exams::BankCheck check = exams::CheckBank(QString::fromUtf8(c.paper));
        const QString question = exams::ShortfallQuestion(check);
        EXPECT_EQ(check.Sufficient(), !*c.shortfall) << c.paper << c.change;
        if (*c.shortfall) {
            EXPECT_TRUE(question.contains(QString::fromUtf8(c.shortfall)))
                << question.toStdString();
        }

        CADOConn personnel;
        personnel.OpenDatabase(kPersonnel);
        schema::RecreateScratchTable(personnel, kPersonnel, schema::kCreateInterim,
                                     schema::kDropInterim);
        schema::RecreateScratchTable(personnel, kPersonnel, schema::kCreateExam, schema::kDropExam);
        const QString mode = QString::fromUtf8(c.paper) == "安全与制度综合测试" ? "多科" : "单科";
        assembly::MersenneRandom random(7);
        EXPECT_EQ(assembly::AssemblePaper(mode, QString::fromUtf8(c.paper), random).outcome ==
                      assembly::Outcome::Assembled,
                  check.Sufficient())
            << c.paper << c.change;
    }
}

}  // namespace
