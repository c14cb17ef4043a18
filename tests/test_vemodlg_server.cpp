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

// The station's session ended under a running exam, run against a server only.
class LostServer : public ExamWindowTest {
protected:
    void SetUp() override {
        if (!TestServerDatabase::Active()) GTEST_SKIP() << "needs VEMO_TEST_SERVER_URL";
        ExamWindowTest::SetUp();
    }
    void TearDown() override {
        if (TestServerDatabase::Active()) ExamWindowTest::TearDown();
    }
    // Ends the station's session and keeps it from connecting again.
    void TakeServerAway() {
        const QString pid =
            CADOConn()
                .OpenRecordset("select pg_backend_pid() as pid", schema::kPersonnelFile)
                ->GetText("pid");
        Administer("alter database " + Database() + " allow_connections false");
        Administer("select pg_terminate_backend(" + pid + ")");
        for (int i = 0; i < 100 && Administer("select 1 from pg_stat_activity where pid=" + pid);
             ++i)
            QTest::qWait(50);
    }
    void BringServerBack() {
        Administer("alter database " + Database() + " allow_connections true");
    }
    // Runs SQL on the server beside the station; true when it gave rows.
    static bool Administer(const QString& sql) {
        PGconn* conn = PQconnectdb(TestServerDatabase::ServerUrl().toUtf8().constData());
        PGresult* result = PQexec(conn, sql.toUtf8().constData());
        EXPECT_TRUE(PQresultStatus(result) == PGRES_COMMAND_OK ||
                    PQresultStatus(result) == PGRES_TUPLES_OK)
            << PQerrorMessage(conn);
        const bool rows = PQntuples(result) > 0;
        PQclear(result);
        PQfinish(conn);
        return rows;
    }
    static QString Database() {
        const QString url = profile::GetString("database", "url", "", "vemoconf.ini");
        return url.mid(url.lastIndexOf('/') + 1);
    }
    // The server is away when `handIn` runs; the window waits, keeps every answer, and hands
    // them in as soon as it can connect again.
    void HandInWhileAway(CVemoDlg* w, const std::function<void()>& handIn, int score) {
        TakeServerAway();
        handIn();
        ExpectWaiting(w);
        w->TryReconnect();
        EXPECT_TRUE(w->WaitingForServer()) << "still away";
        BringServerBack();
        ExpectHandedInOnReturn(w, score);
    }
    void ExpectWaiting(CVemoDlg* w) {
        EXPECT_TRUE(w->WaitingForServer());
        ASSERT_FALSE(recorder->notices.isEmpty());
        EXPECT_EQ(recorder->notices.last().text,
                  QStringLiteral("与服务器的连接已中断，答案已保留在本机，连接恢复后将自动交卷。"));
        EXPECT_TRUE(Find<QWidget>(w, "serverNotice")->isVisibleTo(w));
        EXPECT_FALSE(w->CountdownRunning());
        EXPECT_FALSE(Find<QWidget>(w, "handIn")->isEnabled());
        EXPECT_TRUE(recorder->messages.isEmpty()) << "no failure is shown";
    }
    void ExpectHandedInOnReturn(CVemoDlg* w, int score) {
        EXPECT_TRUE(Registration()->IsNull("成绩")) << "nothing was stored meanwhile";
        recorder->answers = {MsgAnswer::No};
        w->TryReconnect();
        EXPECT_FALSE(w->WaitingForServer());
        EXPECT_FALSE(Find<QWidget>(w, "serverNotice")->isVisibleTo(w));
        auto reg = Registration();
        EXPECT_EQ(reg->GetText("成绩"), QString::number(score));
        EXPECT_EQ(reg->GetText("考试时间"), QStringLiteral("2026/12/09　10:30:00"));
        EXPECT_TRUE(codes::ScoreIntact(*reg));
        ASSERT_EQ(recorder->messages.size(), 1);
        EXPECT_TRUE(recorder->messages[0].text.startsWith(
            QStringLiteral("您这次考试得分为：%1分").arg(score)));
        EXPECT_EQ(recorder->exits, 1);
    }
};

TEST_F(LostServer, AHandInWaitsForTheServerWithEveryAnswer) {
    auto w = Open();
    w->StartExam();
    Find<QRadioButton>(w.get(), "singleB")->setChecked(true);  // stored, in the lost session
    Click(w.get(), "next");
    Find<QRadioButton>(w.get(), "singleE")->setChecked(true);  // only on screen
    HandInWhileAway(
        w.get(),
        [&] {
            recorder->answers = {MsgAnswer::Yes};
            Click(w.get(), "handIn");
            recorder->messages.clear();  // the confirmation
            EXPECT_TRUE(Find<QRadioButton>(w.get(), "singleE")->isChecked());
        },
        4);
}

TEST_F(LostServer, TheCountdownRunningOutWhileAwayLosesNoAnswer) {
    auto w = Open(SamplePaper(), "0");
    w->StartExam();
    Find<QRadioButton>(w.get(), "singleB")->setChecked(true);
    HandInWhileAway(
        w.get(), [&] { w->OnCountdownTick(); }, 2);
    EXPECT_EQ(recorder->notices.first().text, QStringLiteral("考试时间到，强制交卷!"));
}

// Nobody touches the window while the server freezes: the window itself finds out.
TEST_F(LostServer, AServerThatFreezesIsNoticedWithinTenSecondsOfAQuietWindow) {
    QUrl url(profile::GetString("database", "url", "", "vemoconf.ini"));
    FreezingRelay relay(url.port());
    url.setPort(relay.Port());
    ASSERT_TRUE(profile::WriteString("database", QString("url"), url.toString(), "vemoconf.ini"));
    auto w = Open();
    w->StartExam();
    Find<QRadioButton>(w.get(), "singleB")->setChecked(true);
    Click(w.get(), "next");
    Find<QRadioButton>(w.get(), "singleE")->setChecked(true);  // only on screen
    QTest::qWait(2500);
    EXPECT_FALSE(w->WaitingForServer()) << "a server that answers is left alone";

    relay.Freeze();
    QElapsedTimer frozen;
    frozen.start();
    while (!w->WaitingForServer() && frozen.elapsed() < 20000) QTest::qWait(50);
    EXPECT_LT(frozen.elapsed(), 10000);
    ExpectWaiting(w.get());
    relay.Thaw();
    ExpectHandedInOnReturn(w.get(), 4);
}

}  // namespace
