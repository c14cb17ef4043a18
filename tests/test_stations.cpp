#include <QFileInfo>
#include <QProcess>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"
#include "rules/assembly.h"
#include "rules/exams.h"
#include "rules/examticket.h"
#include "rules/handin.h"
#include "stations.h"
#include "testutil.h"

namespace {

const QString kExamName = QStringLiteral("安全生产月度考试");

// One examinee station: prepares its scratch tables, draws the paper and hands it in for
// the registration it is given. Run as a child process by the concurrency test below.
TEST(ExamStation, DrawsAndHandsIn) {
    const QString folder = qEnvironmentVariable("VEMO_STATION_FOLDER");
    if (folder.isEmpty()) GTEST_SKIP() << "run by the concurrency test";
    ASSERT_TRUE(QDir::setCurrent(folder));
    const QString file = schema::kPersonnelFile;
    CADOConn conn;
    schema::RecreateScratchTable(conn, file, schema::kCreateInterim, schema::kDropInterim);
    schema::RecreateScratchTable(conn, file, schema::kCreateExam, schema::kDropExam);
    conn.CloseDatabase();
    assembly::MersenneRandom random;
    const auto paper = assembly::AssemblePaper("单科", "安全生产基础测试", random);
    ASSERT_EQ(paper.outcome, assembly::Outcome::Assembled);
    const ExamTicket ticket{paper.answerKey, kExamName, "60",
                            qEnvironmentVariable("VEMO_STATION_REGISTRATION"),
                            qEnvironmentVariableIntValue("VEMO_STATION_PASS_MARK")};
    QString error;
    ASSERT_TRUE(handin::Store(ticket, {}, 600, QDateTime::currentDateTime(), &error))
        << error.toStdString();
}

class Stations : public DataFolderTest {
protected:
    void SetUp() override {
        if (!TestServerDatabase::Active()) GTEST_SKIP() << "needs VEMO_TEST_SERVER_URL";
        DataFolderTest::SetUp();
    }
};

// 20 stations enter and hand in the same exam at once while the administrator adds and
// removes examinees of it.
TEST_F(Stations, TwentyHandInWhileTheAdministratorAddsAndRemoves) {
    CADOConn conn;
    const QString file = schema::kPersonnelFile;
    auto exam = conn.OpenRecordset("select * from ExamArrange where 考试名称=?", file, {kExamName});
    const QString examNo = exam->GetText("考试号"), passMark = exam->GetText("合格分数");
    conn.CloseDatabase();
    for (int i = 0; exams::ListRegistrations(examNo).size() < 20; ++i)
        ASSERT_EQ(exams::AddRegistration(examNo, passMark,
                                         {QString("考生%1").arg(i), "生产部", "操作工"}),
                  exams::AddOutcome::Added);
    const auto stationed = exams::ListRegistrations(examNo);

    const auto stations = StartStations(stationed, passMark);
    for (int i = 0; i < 10; ++i) {
        const Examinee walkIn{QString("临时%1").arg(i), "技术部", "技术员"};
        ASSERT_EQ(exams::AddRegistration(examNo, passMark, walkIn), exams::AddOutcome::Added);
        if (i % 2 == 0) continue;
        for (const auto& registration : exams::ListRegistrations(examNo))
            if (registration.person == walkIn) {
                EXPECT_TRUE(exams::RemoveRegistration(registration.id, examNo));
            }
    }
    for (auto& station : stations) {
        ASSERT_TRUE(station->waitForFinished(120000));
        const QString output = QString::fromUtf8(station->readAll());
        EXPECT_EQ(station->exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    }

    const auto listing = exams::CheckRegistrations(examNo);
    EXPECT_EQ(listing.verdict, exams::RegistrationVerdict::Listed);
    auto registers =
        conn.OpenRecordset("select * from ExamRegister where 考试号=?", file, {examNo});
    int scored = 0;
    for (; !registers->IsEOF(); registers->MoveNext()) {
        if (registers->IsNull("成绩")) {
            EXPECT_TRUE(codes::EnrolmentIntact(*registers));
            continue;
        }
        ++scored;
        EXPECT_TRUE(codes::ScoreIntact(*registers)) << registers->GetText("姓名").toStdString();
    }
    EXPECT_EQ(scored, int(stationed.size()));
    const long registrations = registers->RecordCount();
    EXPECT_EQ(registrations, long(stationed.size()) + 5);
    auto counters =
        conn.OpenRecordset("select * from JoinExam where 考试号=?", file, {examNo.toLongLong()});
    ASSERT_EQ(counters->RecordCount(), 1);
    EXPECT_EQ(counters->GetCollect("考生数量").toLongLong(),
              counters->GetCollect("考生质量").toLongLong() + 5);
    EXPECT_EQ(counters->GetCollect("考生质量").toLongLong(), registrations);
}

}  // namespace
