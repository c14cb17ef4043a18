#include <signal.h>

#include <QElapsedTimer>
#include <QLocale>
#include <QProcess>
#include <random>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/formats.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "examchild.h"
#include "rules/answers.h"
#include "rules/answersheet.h"
#include "rules/assembly.h"
#include "rules/batchinsert.h"
#include "rules/exams.h"
#include "rules/examsession.h"
#include "rules/grading.h"
#include "rules/paperinprogress.h"
#include "testutil.h"

namespace {

const QString kFile = schema::kPersonnelFile;
const QString kSubject = QStringLiteral("断电测试");
// Questions per type, in the order of the types, and their points.
constexpr int kCounts[5] = {20, 10, 10, 5, 5};
constexpr int kPoints[5] = {2, 1, 2, 4, 5};

QVariant Scalar(const QString& sql, const QVariantList& params = {}) {
    QVariant value;
    CADOConn conn;
    conn.ForEachRow(sql, kFile, params, [&value](const CRowReader& row) {
        value = row.IsNull(0) ? QVariant() : QVariant(row.Text(0));
    });
    return value;
}

// A 50-question paper of the test subject, and registrations for it.
class KeptPaper : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        CADOConn bank;
        bank.OpenDatabase(schema::kQuestionsFile);
        QStringList rules;
        for (int t = 0; t < 5; ++t) {
            const QString type = qtype::Names()[t];
            std::vector<QVariantList> rows;
            for (int i = 0; i < kCounts[t] + 3; ++i)
                rows.push_back({kSubject, type, type + QString::number(i), "A", "甲", "乙", "简单",
                                "一线员工"});
            InsertRows(bank, schema::kQuestionsFile, type,
                       {"科目", "题型", "题干", "答案", "A", "B", "难度", "对象"}, rows);
            rules << QStringLiteral("每题%1分。一线员工:简单=%2,;").arg(kPoints[t]).arg(kCounts[t]);
        }
        bank.ExecuteStatement(
            "insert into exampaper(名称,科目,单选题,判断题,填空题,多选题,问答题,科目选项) "
            "values(?,?,?,?,?,?,?,?)",
            schema::kQuestionsFile,
            {examchild::kPaper, kSubject, rules[0], rules[1], rules[2], rules[3], rules[4],
             "单科"});
    }

    static std::vector<QString> Register(int count) {
        CADOConn conn;
        conn.OpenDatabase(kFile);
        std::vector<QVariantList> rows;
        for (int i = 0; i < count; ++i)
            rows.push_back({QStringLiteral("考生%1").arg(i), "生产部", "操作工", "77", "60"});
        const qint64 before = Scalar("select max(ID) from ExamRegister").toLongLong();
        InsertRows(conn, kFile, "ExamRegister", {"姓名", "部门", "职务", "考试号", "合格分数"},
                   rows);
        std::vector<QString> ids;
        conn.ForEachRow("select ID from ExamRegister where ID>? order by ID", kFile, {before},
                        [&ids](const CRowReader& row) { ids.push_back(row.Text(0)); });
        return ids;
    }

    // The checks after one kill, then the hand-in; false when the test has failed.
    void CheckTrial(const QString& registrationId, const QStringList& lines);
};

void KeptPaper::CheckTrial(const QString& registrationId, const QStringList& lines) {
    QString drawnIds;
    std::map<int, int> storedAt;  // question → time used printed with it
    int lastTime = 0;
    for (const QString& line : lines) {
        const QStringList words = line.split(' ', Qt::SkipEmptyParts);
        if (words.value(0) == "drawn") drawnIds = words.mid(1).join(' ');
        if (words.value(0) == "stored") {
            storedAt[words[1].toInt()] = words[2].toInt();
            lastTime = words[2].toInt();
        }
    }
    const std::optional<int> timeUsed = progress::TimeUsed(registrationId);
    const int kept =
        Scalar("select count(*) from paperInProgress where 考生编号=?", {registrationId}).toInt();
    if (!timeUsed) {
        // Killed during the draw: nothing of it stays.
        ASSERT_TRUE(drawnIds.isEmpty());
        ASSERT_EQ(kept, 0);
        return;
    }
    ASSERT_EQ(kept, 50);
    // The time is the one stored with the last answer, or one not yet printed.
    ASSERT_GE(*timeUsed, lastTime);
    ASSERT_LE(*timeUsed, lastTime + examchild::kMostSecondsPerQuestion);

    // From another connection (on a server: another station).
    const progress::Resumed resumed = progress::Resume(registrationId);
    const QStringList key = answers::SplitAnswerKey(resumed.answerKey);
    ASSERT_EQ(key.size(), 50);
    ASSERT_EQ(resumed.timeUsed, *timeUsed);
    QString ids;
    double expected = 0;
    CADOConn conn;
    std::vector<std::tuple<int, QString, QVariant, int>> rows;  // number, type, answer, id
    conn.ForEachRow("select 编号,题型,答题,题目编号 from exam order by 编号", kFile, {},
                    [&](const CRowReader& row) {
                        rows.emplace_back(row.Text(0).toInt(), row.Text(1),
                                          row.IsNull(2) ? QVariant() : QVariant(row.Text(2)),
                                          row.Text(3).toInt());
                    });
    for (const auto& [n, type, answer, id] : rows) {
        ids += QString::number(id) + ' ';
        const std::optional<QVariant> given = examchild::AnswerOf(n, type);
        // Every answer printed is there; any other is one the station gave, or none.
        if (storedAt.count(n) && given) {
            ASSERT_EQ(answer, *given) << n;
        }
        if (answer.isValid()) {
            ASSERT_TRUE(given && answer == *given) << n;
        }
        const int t = int(qtype::Names().indexOf(type));
        if (answer.toString() == "A" && type != QStringLiteral("问答题")) expected += kPoints[t];
    }
    ASSERT_EQ(rows.size(), 50u);
    if (!drawnIds.isEmpty()) {
        ASSERT_EQ(ids.trimmed(), drawnIds);
    }

    ExamSession session({resumed.answerKey, QStringLiteral("断电考试"), "60", registrationId, 60});
    session.Open();
    QString error;
    const auto result = session.HandIn(key, 3600 - resumed.timeUsed,
                                       QDateTime(QDate(2026, 12, 9), QTime(11, 0)), &error);
    ASSERT_TRUE(result) << error.toStdString();
    ASSERT_DOUBLE_EQ(result->score, expected);
    const answersheet::Sheet sheet = answersheet::Load(registrationId);
    ASSERT_EQ(sheet.rows.size(), 50u);
    double total = 0;
    for (const answersheet::Row& row : sheet.rows) {
        ASSERT_TRUE(row.intact) << row.number;
        total += QLocale::c().toDouble(row.earned);
    }
    ASSERT_DOUBLE_EQ(total, expected);
    ASSERT_EQ(sheet.score, FormatScore(expected));
    ASSERT_FALSE(progress::TimeUsed(registrationId));
}

// A station killed at a random moment of its exam: the next sitting finds the same paper,
// every answer stored before the kill and the time used, and its hand-in adds up.
TEST_F(KeptPaper, AStationKilledAtRandomLosesNoStoredAnswer) {
    const int trials = TestServerDatabase::Active() ? 15 : 200;
    const std::vector<QString> registrations = Register(trials);
    std::mt19937 random(20261209);
    // How long a whole sitting takes here sets the range of the kill moments.
    int longest = 200;
    for (int trial = 0; trial < trials; ++trial) {
        QProcess station;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("VEMO_TEST_SERVER_URL");
        station.setProcessEnvironment(env);
        station.start(VEMO_EXAM_CHILD, {QDir::currentPath(), registrations[size_t(trial)],
                                        QString::number(random())});
        ASSERT_TRUE(station.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        const int killAt = int(random() % unsigned(longest));
        QString output;
        while (clock.elapsed() < killAt && !output.contains("done")) {
            station.waitForReadyRead(2);
            output += QString::fromUtf8(station.readAllStandardOutput());
        }
        if (output.contains("done")) longest = int(clock.elapsed());
        ::kill(pid_t(station.processId()), SIGKILL);
        ASSERT_TRUE(station.waitForFinished(5000));
        ASSERT_EQ(station.exitStatus(), QProcess::CrashExit) << trial;
        output += QString::fromUtf8(station.readAllStandardOutput());
        CheckTrial(registrations[size_t(trial)], output.split('\n', Qt::SkipEmptyParts));
        if (HasFatalFailure()) {
            ADD_FAILURE() << "trial " << trial << ", killed after " << killAt << " ms:\n"
                          << output.toStdString();
            return;
        }
    }
}

// Grading marks the essay's row of the sheet with a code that holds; an edit outside the
// program shows; deleting the exam takes its sheets and unfinished papers, nobody else's.
TEST_F(KeptPaper, GradingMarksTheEssayRowAndDeletingTheExamTakesSheetsAndPapers) {
    const std::vector<QString> ids = Register(3);
    const QString& handedIn = ids[0];
    for (const QString& id : ids) {
        CADOConn conn;
        schema::RecreateScratchTable(conn, kFile, schema::kCreateInterim, schema::kDropInterim);
        schema::RecreateScratchTable(conn, kFile, schema::kCreateExam, schema::kDropExam);
        assembly::MersenneRandom random(7);
        ASSERT_EQ(assembly::AssemblePaper("单科", examchild::kPaper, random, id).outcome,
                  assembly::Outcome::Assembled);
    }
    // The last registration belongs to another exam.
    CADOConn().ExecuteStatement("update examProgress set 考试号='78' where 考生编号=?", kFile,
                                {ids[2]});
    const progress::Resumed resumed = progress::Resume(handedIn);
    ExamSession session({resumed.answerKey, QStringLiteral("断电考试"), "60", handedIn, 60});
    session.Open();
    ASSERT_TRUE(session.HandIn(answers::SplitAnswerKey(resumed.answerKey), 3000,
                               QDateTime(QDate(2026, 12, 9), QTime(11, 0)), nullptr));

    std::vector<grading::EssayAnswer> essays = grading::ListAnswers();
    essays.erase(std::remove_if(essays.begin(), essays.end(),
                                [&](const auto& e) { return e.registrationId != handedIn; }),
                 essays.end());
    ASSERT_EQ(essays.size(), 5u);
    ASSERT_TRUE(grading::Award(essays[0], 2.5));
    answersheet::Sheet sheet = answersheet::Load(handedIn);
    int graded = 0, waiting = 0;
    for (const answersheet::Row& row : sheet.rows) {
        EXPECT_TRUE(row.intact) << row.number;
        if (row.type != QStringLiteral("问答题")) continue;
        (row.earned.isEmpty() ? waiting : graded) += 1;
        if (!row.earned.isEmpty()) {
            EXPECT_EQ(answersheet::MarkText(row), "部分得分");
        }
    }
    EXPECT_EQ(graded, 1);
    EXPECT_EQ(waiting, 4);
    EXPECT_EQ(sheet.score, "2.5");

    for (const char* edit : {"update answerSheet set 得分='5' where 题型='问答题' and 得分='2.5'",
                             "update answerSheet set 答题='A' where 题号=1",
                             "update answerSheet set 题干=题干||'x' where 题号=2"})
        CADOConn().ExecuteStatement(edit, kFile);
    int tampered = 0;
    for (const answersheet::Row& row : answersheet::Load(handedIn).rows) tampered += !row.intact;
    EXPECT_EQ(tampered, 3);

    exams::DeleteExam("77");
    EXPECT_EQ(Scalar("select count(*) from answerSheet").toInt(), 0);
    EXPECT_FALSE(progress::TimeUsed(ids[1]));
    EXPECT_EQ(Scalar("select count(*) from paperInProgress where 考生编号=?", {ids[1]}).toInt(), 0);
    EXPECT_EQ(Scalar("select count(*) from paperInProgress where 考生编号=?", {ids[2]}).toInt(),
              50);
}

}  // namespace
