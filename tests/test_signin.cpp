#include <sqlite3.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/formats.h"
#include "data/profile.h"
#include "guitest.h"
#include "loopback.h"
#include "ui/signin/admin.h"
#include "ui/signin/login.h"

namespace {

const QString kPrompt = QStringLiteral("Vemo提示");
const QString kWarn = QStringLiteral("Vemo警告");

class SignInTest : public GuiTest {
protected:
    // Fills one side of the sign-in screen and presses its button.
    void SignIn(CLogin& login, bool managerSide, const QString& user, const QString& password) {
        (managerSide ? login.ManagerUserEdit() : login.AdminUserEdit())->setText(user);
        (managerSide ? login.ManagerPasswordEdit() : login.AdminPasswordEdit())->setText(password);
        Click(&login, managerSide ? "managerSignIn" : "adminSignIn");
    }

    QString LastMessage() const {
        return recorder->messages.isEmpty() ? QString() : recorder->messages.last().text;
    }
    QString LastTitle() const {
        return recorder->messages.isEmpty() ? QString() : recorder->messages.last().title;
    }
    QString LastScreen() const {
        return recorder->navigations.isEmpty() ? QString() : recorder->navigations.last().screen;
    }

    static void Execute(const QString& sql, const QVariantList& params = {}) {
        CADOConn conn;
        conn.ExecuteStatement(sql, "personnel.mdb", params);
    }
    static QString Column(const QString& sql, const char* column) {
        CADOConn conn;
        return conn.OpenRecordset(sql, "personnel.mdb")->GetText(column);
    }
};

TEST_F(SignInTest, EachAdministratorSignsInOnHisOwnSideOnly) {
    CLogin login;
    SignIn(login, false, "admin", "518274");
    EXPECT_EQ(LastScreen(), "CAdmin");
    EXPECT_TRUE(recorder->messages.isEmpty());

    CLogin again;
    SignIn(again, true, "manager", "903361");
    EXPECT_EQ(LastScreen(), "CExamManager");
    EXPECT_NE(recorder->TakeNextScreen(), nullptr);

    CLogin wrongSide;
    SignIn(wrongSide, false, "admin", "903361");
    EXPECT_EQ(LastMessage(), QStringLiteral("用户名或密码不正确!"));
    EXPECT_EQ(LastTitle(), kPrompt);
    SignIn(wrongSide, false, "manager", "903361");
    EXPECT_EQ(LastMessage(), QStringLiteral("用户名或密码不正确!"));
    SignIn(wrongSide, true, "Manager", "903361");
    EXPECT_EQ(LastMessage(), QStringLiteral("用户名或密码不正确!"));
    EXPECT_EQ(recorder->navigations.size(), 2);
    EXPECT_EQ(wrongSide.ManagerUserEdit()->text(), "Manager") << "a failure keeps the fields";
}

TEST_F(SignInTest, EmptyFieldsAreRefusedInTheApplicationTitledBox) {
    CLogin login;
    SignIn(login, true, "manager", "");
    EXPECT_EQ(LastMessage(), QStringLiteral("用户名或密码不能为空！"));
    EXPECT_EQ(LastTitle(), "vemo_gui_tests");
    SignIn(login, false, "", "518274");
    EXPECT_EQ(LastMessage(), QStringLiteral("用户名或密码不能为空！"));
}

TEST_F(SignInTest, DamagedDigestsAreReportedAsSuch) {
    Execute("update LastPass set 考试管理员密码='0' where rowid=2");
    CLogin login;
    SignIn(login, true, "manager", "903361");
    EXPECT_EQ(LastMessage(), QStringLiteral("保存的密码数据已损坏！"));
    EXPECT_EQ(LastTitle(), kPrompt);
    SignIn(login, true, "manager", "wrong");
    EXPECT_EQ(LastMessage(), QStringLiteral("用户名或密码不正确!"));

    Execute("delete from LastPass where rowid=3");
    SignIn(login, false, "admin", "518274");
    EXPECT_EQ(LastMessage(), QStringLiteral("保存的密码数据已损坏！"));
    EXPECT_EQ(LastTitle(), "vemo_gui_tests") << "fewer than three rows";

    Execute("drop table LastPass");
    SignIn(login, false, "admin", "518274");
    EXPECT_EQ(LastMessage(), QStringLiteral("登录失败！"));
    EXPECT_TRUE(recorder->navigations.isEmpty());
}

// Bytes of an SQLite database made by some other program.
QByteArray ForeignDatabase(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, "create table notes(text)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(SignInTest, AnUnusableDataFileIsNamedAndCalledSoInChinese) {
    const std::pair<const char*, QByteArray> files[] = {
        {"zero bytes", QByteArray()},
        {"text", QByteArray("not a database\n").repeated(100)},
        {"another program's database", ForeignDatabase("foreign.db")},
    };
    const QString path = QFileInfo("personnel.mdb").absoluteFilePath();
    for (const auto& [what, bytes] : files) {
        QFile file("personnel.mdb");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        recorder->messages.clear();
        CLogin login;
        SignIn(login, false, "admin", "518274");
        ASSERT_FALSE(recorder->messages.isEmpty()) << what;
        EXPECT_EQ(recorder->messages[0].text,
                  QStringLiteral("无法打开数据文件“%1”：它不是本程序可用的数据文件（文件为空、"
                                 "已损坏或属于别的程序）。")
                      .arg(QDir::toNativeSeparators(path)))
            << what;
        for (const auto& message : std::as_const(recorder->messages))
            EXPECT_FALSE(message.text.contains(QStringLiteral("用户名或密码"))) << what;
        EXPECT_TRUE(recorder->navigations.isEmpty()) << what;
    }
}

// Others who may change the folder or its settings could change the data or name their own
// server: the administrator is warned and still signs in.
TEST_F(SignInTest, AFolderOrSettingsOthersMayWriteIsWarnedAbout) {
    const QString folder = QDir::currentPath();
    const auto otherWritable = QFile::WriteOther | QFile::ReadOther;
    const struct {
        QString path;
        QString named;
    } cases[] = {{folder, QStringLiteral("数据文件夹“%1”").arg(folder)},
                 {"vemoconf.ini", QStringLiteral("设置文件“%1/vemoconf.ini”").arg(folder)},
                 {QString(), QString()}};
    for (const auto& c : cases) {
        const QFile::Permissions before = QFile::permissions(c.path);
        if (!c.path.isEmpty()) {
            ASSERT_TRUE(QFile::setPermissions(c.path, before | otherWritable));
        }
        recorder->messages.clear();
        CLogin login;
        SignIn(login, true, "manager", "903361");
        if (!c.path.isEmpty()) QFile::setPermissions(c.path, before);
        EXPECT_EQ(LastScreen(), "CExamManager");
        EXPECT_NE(recorder->TakeNextScreen(), nullptr);
        if (c.named.isEmpty()) {
            EXPECT_TRUE(recorder->messages.isEmpty());
            continue;
        }
        ASSERT_EQ(recorder->messages.size(), 1);
        EXPECT_TRUE(LastMessage().startsWith(c.named + "可被本机的其他用户改写"))
            << LastMessage().toStdString();
        EXPECT_EQ(LastTitle(), kWarn);
    }
}

// A server that takes the connection and never answers, and a port nobody listens on:
// sign-in gives up within seconds and names the server in Chinese.
TEST_F(SignInTest, AServerOutOfReachIsNamedWithinSeconds) {
    for (const bool listening : {true, false}) {
        int port = 0;
        const int socket = BoundSocket(&port, listening);  // nobody replies, or nobody listens
        if (!listening) close(socket);
        ASSERT_TRUE(profile::WriteString(
            "database", QStringLiteral("url"),
            QStringLiteral("postgresql://vemo@127.0.0.1:%1/vemo").arg(port), "vemoconf.ini"));
        recorder->messages.clear();
        CLogin login;
        QElapsedTimer timer;
        timer.start();
        SignIn(login, false, "admin", "518274");
        EXPECT_LT(timer.elapsed(), 10000) << listening;
        ASSERT_FALSE(recorder->messages.isEmpty()) << listening;
        EXPECT_TRUE(recorder->messages[0].text.contains(
            QStringLiteral("无法连接数据库服务器127.0.0.1（端口%1）").arg(port)))
            << recorder->messages[0].text.toStdString();
        EXPECT_TRUE(recorder->navigations.isEmpty());
        if (listening) close(socket);
    }
}

class ExamineeEntryTest : public SignInTest {
protected:
    void PressEntry() {
        CLogin login;
        Click(&login, "examineeEntry");
    }
    static void SetEnd(const QString& end, const QVariant& state = QVariant()) {
        CADOConn conn;
        auto rs = conn.OpenRecordset("select * from ExamArrange", "personnel.mdb");
        rs->PutCollect("结束时间", end);
        rs->PutCollect("时效", state);
        rs->PutCollect("保存码", codes::ExamCode(rs->GetText("考试名称"), rs->GetText("开始时间"),
                                                 end, rs->GetText("合格分数"), state.toString()));
        rs->Update();
    }
};

TEST_F(ExamineeEntryTest, AnIntactOpenExamLeadsToExamSelection) {
    PressEntry();
    EXPECT_TRUE(recorder->messages.isEmpty());
    EXPECT_EQ(LastScreen(), "CExamLogin");
    EXPECT_NE(recorder->TakeNextScreen(), nullptr);
    EXPECT_TRUE(Column("select * from ExamArrange", "时效").isEmpty());
}

TEST_F(ExamineeEntryTest, AnExamEndingThisMinuteIsEndedWithAValidCode) {
    SetEnd(FormatExamTime(Now()));
    PressEntry();
    EXPECT_EQ(LastScreen(), "CExamLogin");
    CADOConn conn;
    auto exam = conn.OpenRecordset("select * from ExamArrange", "personnel.mdb");
    EXPECT_EQ(exam->GetText("时效"), QStringLiteral("结束"));
    EXPECT_TRUE(codes::ExamIntact(*exam));
}

TEST_F(ExamineeEntryTest, EndedUnreadableAndFutureExamsAreLeftAlone) {
    SetEnd("2026/12/01 09:00", QStringLiteral("结束"));
    const QString code = Column("select * from ExamArrange", "保存码");
    PressEntry();
    EXPECT_EQ(Column("select * from ExamArrange", "保存码"), code);

    SetEnd(QStringLiteral("下周一"));
    PressEntry();
    EXPECT_TRUE(Column("select * from ExamArrange", "时效").isEmpty());
    EXPECT_EQ(recorder->navigations.size(), 2);
    EXPECT_EQ(recorder->exits, 0);
}

TEST_F(ExamineeEntryTest, TamperingEndsTheProgramAndEmptyOrUnreadableExamsStopTheEntry) {
    // Each change on top of the ones before: the exams are checked before the registrations.
    const struct {
        const char* change;
        QString message;
        int exits;
    } cases[] = {
        {"update ExamRegister set 合格分数='1' where ID=2", "数据库已被篡改,无法进行考试！", 1},
        {"update ExamArrange set 时效='结束'", "考试信息已被篡改,无法进行考试！", 2},
        {"delete from ExamArrange", "考试信息为空,无法进行考试！", 2},
        {"drop table ExamArrange", "读取考试信息失败：no such table: ExamArrange", 2},
    };
    for (const auto& c : cases) {
        Execute(c.change);
        PressEntry();
        EXPECT_EQ(LastMessage(), c.message);
        EXPECT_EQ(LastTitle(), kWarn);
        EXPECT_EQ(recorder->messages.last().icon, MsgIcon::Warning);
        EXPECT_EQ(recorder->exits, c.exits) << c.change;
    }
    EXPECT_TRUE(recorder->navigations.isEmpty());
}

TEST_F(ExamineeEntryTest, ExamsEndedBeforeAFailureStayEnded) {
    SetEnd("2026/12/08 09:00");
    Execute("delete from ExamRegister");
    PressEntry();
    EXPECT_EQ(LastMessage(), QStringLiteral("数据库已被篡改,无法进行考试！"));
    EXPECT_EQ(recorder->exits, 1);
    EXPECT_EQ(Column("select * from ExamArrange", "时效"), QStringLiteral("结束"));
}

class AdminTest : public SignInTest {
protected:
    void Change(CAdmin& admin, const char* prefix, const QString& oldPassword,
                const QString& newPassword) {
        const QString p = QString::fromLatin1(prefix);
        admin.findChild<QLineEdit*>(p + "OldPassword")->setText(oldPassword);
        admin.findChild<QLineEdit*>(p + "NewPassword")->setText(newPassword);
        Click(&admin, (p + "Change").toLatin1().constData());
    }
    QStringList ColumnValues(const char* column) {
        CADOConn conn;
        QStringList values;
        auto rs = conn.OpenRecordset("select * from LastPass", "personnel.mdb");
        for (; !rs->IsEOF(); rs->MoveNext()) values << rs->GetText(column);
        return values;
    }
    bool CanSignIn(bool managerSide, const QString& user, const QString& password) {
        const int before = recorder->navigations.size();
        CLogin login;
        SignIn(login, managerSide, user, password);
        return recorder->navigations.size() > before;
    }
};

TEST_F(AdminTest, ChangingTheExamAdministratorsPasswordLeavesTheOtherColumn) {
    const QStringList system = ColumnValues("系统管理员密码");
    CAdmin admin;
    recorder->answers = {MsgAnswer::Yes};
    Change(admin, "exam", "903361", "new-pass");
    ASSERT_EQ(recorder->messages.size(), 2);
    EXPECT_EQ(recorder->messages[0].text, QStringLiteral("您确定要修改考试管理密码？"));
    EXPECT_EQ(recorder->messages[0].title, QStringLiteral("Vemo提醒"));
    EXPECT_EQ(LastMessage(), QStringLiteral("修改成功"));
    EXPECT_EQ(ColumnValues("系统管理员密码"), system);
    EXPECT_TRUE(CanSignIn(true, "manager", "new-pass"));
    EXPECT_FALSE(CanSignIn(true, "manager", "903361"));
    EXPECT_FALSE(CanSignIn(false, "admin", "new-pass"));
}

TEST_F(AdminTest, TheSystemAdministratorsConfirmationHasThePlainTitleAndNoWritesNothing) {
    const QStringList before = ColumnValues("系统管理员密码");
    CAdmin admin;
    recorder->answers = {MsgAnswer::No};
    Change(admin, "system", "518274", "x");
    ASSERT_EQ(recorder->messages.size(), 1);
    EXPECT_EQ(recorder->messages[0].title, QStringLiteral("提醒"));
    EXPECT_EQ(recorder->messages[0].text, QStringLiteral("您确定要修改系统管理密码？"));
    EXPECT_EQ(ColumnValues("系统管理员密码"), before);

    recorder->answers = {MsgAnswer::No};
    Click(&admin, "systemRestore");
    EXPECT_EQ(LastMessage(), QStringLiteral("您确定要恢复到初始密码？"));
    EXPECT_EQ(ColumnValues("系统管理员密码"), before);
}

TEST_F(AdminTest, TheRestoreQuestionComesBeforeAnyDatabaseWork) {
    Execute("drop table LastPass");
    CAdmin admin;
    recorder->answers = {MsgAnswer::Yes};
    Click(&admin, "examRestore");
    ASSERT_EQ(recorder->messages.size(), 2);
    EXPECT_EQ(recorder->messages[0].text, QStringLiteral("您确定要恢复到初始密码？"));
    EXPECT_EQ(recorder->messages[1].text, QStringLiteral("恢复失败！"));
}

// A failure told apart names its cause; any other gets the screen's short message.
TEST_F(AdminTest, AMissingFileIsNamedInsteadOfTheShortMessage) {
    const QString path = QDir::toNativeSeparators(QFileInfo("personnel.mdb").absoluteFilePath());
    const struct {
        const char* what;
        std::function<void()> spoil;
        QString told;
    } cases[] = {
        {"a table dropped", [this] { Execute("drop table LastPass"); },
         QStringLiteral("恢复失败！")},
        {"the file gone", [] { QFile::remove("personnel.mdb"); },
         QStringLiteral("无法打开数据文件“%1”：文件不存在。").arg(path)},
    };
    for (const auto& c : cases) {
        c.spoil();
        CAdmin admin;
        recorder->messages.clear();
        recorder->answers = {MsgAnswer::Yes};
        Click(&admin, "examRestore");
        EXPECT_EQ(LastMessage(), c.told) << c.what;
    }
}

TEST_F(AdminTest, WrongOrEmptyPasswordsAreRefused) {
    CAdmin admin;
    Change(admin, "system", "", "x");
    EXPECT_EQ(LastMessage(), QStringLiteral("密码不能为空！"));
    Change(admin, "system", "903361", "x");
    EXPECT_EQ(LastMessage(), QStringLiteral("原密码输入错误！"));
    EXPECT_EQ(LastTitle(), kPrompt);
}

TEST_F(AdminTest, AChangeOrRestoreRepairsDamagedSaltedRows) {
    Execute("update LastPass set 系统管理员密码='X' where rowid>1");
    EXPECT_FALSE(CanSignIn(false, "admin", "518274"));
    CAdmin admin;
    recorder->answers = {MsgAnswer::Yes};
    Change(admin, "system", "518274", "fresh");
    EXPECT_TRUE(CanSignIn(false, "admin", "fresh"));

    Execute("update LastPass set 系统管理员密码='X' where rowid>1");
    recorder->answers = {MsgAnswer::Yes};
    Click(&admin, "systemRestore");
    EXPECT_EQ(LastMessage(), QStringLiteral("恢复成功"));
    EXPECT_TRUE(CanSignIn(false, "admin", "518274"));
}

TEST_F(AdminTest, APasswordWithAQuoteOrCharactersOutsideGbkWorks) {
    const QString password = QString::fromUtf8("it's 😀 密码");
    CAdmin admin;
    recorder->answers = {MsgAnswer::Yes};
    Change(admin, "exam", "903361", password);
    EXPECT_EQ(LastMessage(), QStringLiteral("修改成功"));
    EXPECT_TRUE(CanSignIn(true, "manager", password));
}

TEST_F(AdminTest, AFailedWriteStoresNoneOfTheThreeRows) {
    Execute("delete from LastPass where rowid=3");
    const QStringList before = ColumnValues("考试管理员密码");
    CAdmin admin;
    recorder->answers = {MsgAnswer::Yes};
    Change(admin, "exam", "903361", "half");
    EXPECT_EQ(LastMessage(), QStringLiteral("修改失败！"));
    EXPECT_EQ(ColumnValues("考试管理员密码"), before);
}

TEST_F(AdminTest, BackShowsAFreshSignInScreen) {
    CAdmin admin;
    admin.show();
    Click(&admin, "back");
    EXPECT_FALSE(admin.isVisible());
    EXPECT_EQ(LastScreen(), "CLogin");
    auto next = recorder->TakeNextScreen();
    auto* login = dynamic_cast<CLogin*>(next.get());
    ASSERT_NE(login, nullptr);
    EXPECT_TRUE(login->AdminPasswordEdit()->text().isEmpty());
    Click(&admin, "exit");
    EXPECT_EQ(recorder->exits, 1);
}

}  // namespace
