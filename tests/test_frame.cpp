#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "app/desktop.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "app/singleinstance.h"
#include "data/adoconn.h"
#include "guitest.h"
#include "ui/common/guarded.h"
#include "ui/common/picturebutton.h"
#include "ui/signin/login.h"

namespace {

using FrameTest = GuiTest;

TEST_F(FrameTest, SignInScreenShowsItsControlsToAssistiveTools) {
    CLogin login;
    EXPECT_EQ(login.windowTitle(), QStringLiteral("Vemo—登录Login"));
    EXPECT_EQ(login.size(), QSize(800, 600));
    QStringList buttons;
    for (auto* b : login.findChildren<CPictureButton*>()) buttons << b->accessibleName();
    EXPECT_EQ(buttons, QStringList({"考试管理员登录", "系统管理员登录", "我要考试", "退出"}));
    for (QLineEdit* edit : {login.ManagerUserEdit(), login.ManagerPasswordEdit(),
                            login.AdminUserEdit(), login.AdminPasswordEdit()}) {
        EXPECT_FALSE(edit->accessibleName().isEmpty());
        EXPECT_TRUE(edit->text().isEmpty());
    }
    EXPECT_TRUE(login.ManagerPasswordEdit()->accessibleName().endsWith(QStringLiteral("密码")));
    login.show();
    auto* hidden = Find<QPushButton>(&login, "hiddenButton");
    EXPECT_FALSE(hidden->isVisible());
}

TEST_F(FrameTest, TheSignInScreenSwallowsEnterEscAndSpaceAndEndsOnlyByExit) {
    CLogin login;
    login.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&login));
    QLineEdit* password = login.AdminPasswordEdit();
    password->setFocus();
    QTest::keyClicks(password, "a b");
    EXPECT_EQ(password->text(), "ab");
    QTest::keyClick(password, Qt::Key_Escape);
    QTest::keyClick(password, Qt::Key_Return);
    QTest::keyClick(&login, Qt::Key_Enter);
    EXPECT_TRUE(login.isVisible());
    EXPECT_TRUE(recorder->navigations.isEmpty());
    EXPECT_EQ(recorder->exits, 0);
    Click(&login, "exit");
    EXPECT_EQ(recorder->exits, 1);
}

TEST_F(FrameTest, ExamCreationTakesSpacesButSwallowsEnterAndEsc) {
    const std::unique_ptr<QDialog> screen = screens::Factory(screens::Id::CreateExam)();
    screen->show();
    auto* name = Find<QLineEdit>(screen.get(), "examName");
    name->setFocus();
    QTest::keyClicks(name, "a b");
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(name, key);
    EXPECT_EQ(name->text(), "a b");
    EXPECT_TRUE(screen->isVisible());
}

TEST_F(FrameTest, PasswordsAreMaskedWhereverTheyAreTyped) {
    const std::unique_ptr<QDialog> login = screens::Factory(screens::Id::Login)();
    const std::unique_ptr<QDialog> admin = screens::Factory(screens::Id::Admin)();
    QStringList masked;
    for (QDialog* screen : {login.get(), admin.get()})
        for (QLineEdit* edit : screen->findChildren<QLineEdit*>())
            if (edit->echoMode() == QLineEdit::Password) masked << edit->objectName();
    EXPECT_EQ(masked, QStringList({"managerPassword", "adminPassword", "systemOldPassword",
                                   "systemNewPassword", "examOldPassword", "examNewPassword"}));
}

TEST_F(FrameTest, ExitStopsTheScreensClock) {
    QDialog screen;
    auto* clock = new QTimer(&screen);
    clock->setObjectName("timer1");
    clock->start(1000);
    ExitProgram(&screen);
    EXPECT_FALSE(clock->isActive());
    EXPECT_EQ(recorder->exits, 1);
    ExitProgram(nullptr);
    EXPECT_EQ(recorder->exits, 2);
}

TEST_F(FrameTest, NavigationClosesTheScreenAndNamesTheNextOne) {
    QDialog from;
    from.show();
    screens::Go(&from, screens::Id::Login);
    EXPECT_FALSE(from.isVisible());
    EXPECT_EQ(from.result(), QDialog::Accepted);
    ASSERT_EQ(recorder->navigations.size(), 1);
    EXPECT_EQ(recorder->navigations[0].screen, "CLogin");
    auto next = recorder->TakeNextScreen();
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(next->findChild<QLineEdit*>("adminUser")->text().isEmpty());
}

TEST_F(FrameTest, TheScreenLoopHidesEachScreenBeforeShowingTheNext) {
    seams::StopRecording();
    QStringList events;
    auto second = [&events] {
        auto dialog = std::make_unique<QDialog>();
        events << "second built";
        QTimer::singleShot(0, dialog.get(), [d = dialog.get(), &events] {
            events << "second shown";
            d->reject();  // closing without a successor ends the loop
        });
        return std::unique_ptr<QDialog>(std::move(dialog));
    };
    screenflow::Run([&events, second] {
        auto dialog = std::make_unique<QDialog>();
        QTimer::singleShot(0, dialog.get(), [d = dialog.get(), &events, second] {
            screenflow::Go(d, "second", second);
            events << (d->isVisible() ? "first still shown" : "first hidden");
        });
        return std::unique_ptr<QDialog>(std::move(dialog));
    });
    recorder = &seams::StartRecording();
    EXPECT_EQ(events, QStringList({"first hidden", "second built", "second shown"}));
}

TEST_F(FrameTest, MessageBoxesAreRecordedAndAnsweredFromTheQueue) {
    recorder->answers = {MsgAnswer::Yes};
    EXPECT_TRUE(msgbox::Ask(nullptr, QStringLiteral("您确定要恢复到初始密码？")));
    msgbox::Warn(nullptr, QStringLiteral("警告"));
    ASSERT_EQ(recorder->messages.size(), 2);
    EXPECT_EQ(recorder->messages[0].title, QStringLiteral("Vemo提醒"));
    EXPECT_EQ(recorder->messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(recorder->messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(recorder->messages[1].title, QStringLiteral("Vemo警告"));
    EXPECT_EQ(recorder->messages[1].icon, MsgIcon::Warning);
    EXPECT_FALSE(msgbox::Ask(nullptr, "?"));
    EXPECT_EQ(recorder->unanswered, 1);
    recorder->unanswered = 0;
}

TEST_F(FrameTest, QtsOwnButtonsSpeakChinese) {
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("是(&Y)"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
}

TEST_F(FrameTest, AFileThatCannotBeOpenedIsToldOnceThroughTheGuardInChinese) {
    QFile::remove("personnel.mdb");
    EXPECT_FALSE(Guarded(nullptr, QStringLiteral("人员"), [] {
        CADOConn().OpenRecordset("select * from examinee", "personnel.mdb");
    }));
    ASSERT_EQ(recorder->messages.size(), 1);
    EXPECT_EQ(recorder->messages[0].title, msgbox::PromptTitle());
    EXPECT_TRUE(recorder->messages[0].text.startsWith(
        QStringLiteral("人员数据读写失败：无法打开数据文件“")));
    EXPECT_TRUE(recorder->messages[0].text.contains("personnel.mdb"));
}

#ifdef Q_OS_LINUX
// xdg-open reports nothing back, so whether a file can be opened is asked of the
// desktop's mime defaults first; without an answer the caller tells the user instead.
TEST_F(FrameTest, AFileOpensOnlyWhenTheDesktopNamesAProgramForIt) {
    const QString bin = QDir::current().absoluteFilePath("bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toLocal8Bit());
    const struct {
        const char* xdgMime;  // nullptr: not installed
        bool opens;
    } cases[] = {
        {"echo libreoffice-calc.desktop", true},
        {"echo", false},
        {"exit 4", false},
        {nullptr, false},
    };
    for (const auto& c : cases) {
        QFile script(bin + "/xdg-mime");
        script.remove();
        if (c.xdgMime) {
            ASSERT_TRUE(script.open(QIODevice::WriteOnly));
            script.write(QByteArray("#!/bin/sh\n") + c.xdgMime + "\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        EXPECT_EQ(desktop::HasProgramFor("questions.xls"), c.opens) << c.xdgMime;
    }
    qputenv("PATH", path);
}

// True once the process holds a whole-file lock, as the kernel lists it.
bool HoldsLock(qint64 pid) {
    QFile locks("/proc/locks");
    if (!locks.open(QIODevice::ReadOnly)) return false;
    const QByteArray needle = " " + QByteArray::number(pid) + " ";
    for (const QByteArray& line : locks.readAll().split('\n'))
        if (line.contains("FLOCK") && line.contains(needle)) return true;
    return false;
}

TEST_F(FrameTest, ASecondCopyEndsSilentlyAndTheLockDiesWithTheFirst) {
    // A lock of the test's own, so that a copy of the program open on the machine does
    // not matter; the second copy's TMPDIR must not matter either.
    const QString lockName = QStringLiteral("VemoTest%1").arg(QCoreApplication::applicationPid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VEMO_INSTANCE_NAME", lockName);
    QProcess first;
    first.setProgram(VEMO_BINARY);
    first.setProcessEnvironment(environment);
    first.start();
    ASSERT_TRUE(first.waitForStarted());
    for (int i = 0; i < 100 && !HoldsLock(first.processId()); ++i) QTest::qWait(50);
    ASSERT_TRUE(HoldsLock(first.processId()));

    QProcess second;
    second.setProgram(VEMO_BINARY);
    environment.insert("TMPDIR", QDir::currentPath());
    second.setProcessEnvironment(environment);
    second.start();
    ASSERT_TRUE(second.waitForFinished(5000)) << "the second copy must end at once";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_EQ(first.state(), QProcess::Running) << "the first copy is unaffected";

    first.kill();  // dies without any clean-up
    first.waitForFinished();
    SingleInstanceGuard after(lockName);
    EXPECT_TRUE(after.Acquire());
    QFile::remove(after.LockFile());
}
#endif

}  // namespace

// Every id has its row in the screen table, and the row makes the screen it names.
TEST_F(FrameTest, EveryScreenIdMakesTheScreenItNames) {
    for (int i = 0; i <= static_cast<int>(screens::Id::AnswerSheet); ++i) {
        const auto id = static_cast<screens::Id>(i);
        if (id == screens::Id::ExamWindow) continue;  // needs a drawn paper
        const std::unique_ptr<QDialog> screen = screens::Factory(id)();
        ASSERT_NE(screen, nullptr) << i;
        EXPECT_EQ(QString::fromLatin1(screen->metaObject()->className()), screens::ClassName(id));
    }
}

TEST_F(FrameTest, EveryHubButtonOfBothAdministratorsLeadsToItsScreen) {
    const struct {
        screens::Id from;
        const char* button;
        const char* to;
    } edges[] = {
        {screens::Id::Admin, "questionBank", "CExamPaper"},
        {screens::Id::Admin, "paperManagement", "CTestManage"},
        {screens::Id::Admin, "examManagement", "CExamManagement"},
        {screens::Id::Admin, "settings", "CVariouSet"},
        {screens::Id::ExamManager, "examManagement", "CExamManagement"},
        {screens::Id::ExamManager, "scoreQuery", "CCheckScore"},
    };
    for (const auto& edge : edges) {
        const std::unique_ptr<QDialog> screen = screens::Factory(edge.from)();
        Click(screen.get(), edge.button);
        ASSERT_FALSE(recorder->navigations.isEmpty()) << edge.button;
        EXPECT_EQ(recorder->navigations.last().screen, edge.to) << edge.button;
        EXPECT_NE(recorder->TakeNextScreen(), nullptr) << edge.to;
    }
}

namespace {

// What assistive tools would read as the control's name: the accessible name, else a
// button's caption, else the text of a label that has the control as its buddy.
QString NameReadByAssistiveTools(QWidget* control) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face ? face->text(QAccessible::Name).trimmed() : QString();
}

bool IsNamedControl(QWidget* w) {
    return qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
           qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
           qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
           qobject_cast<QAbstractSpinBox*>(w);
}

// The parts Qt builds inside a list, drop-down list, spin box or tool bar are named by
// their owner.
bool IsPartOfAnotherControl(QWidget* w, QWidget* screen) {
    if (qobject_cast<QHeaderView*>(w) || w->objectName().startsWith(QLatin1String("qt_")))
        return true;
    for (QWidget* up = w->parentWidget(); up && up != screen; up = up->parentWidget())
        if (qobject_cast<QComboBox*>(up) || qobject_cast<QAbstractSpinBox*>(up) ||
            qobject_cast<QAbstractItemView*>(up))
            return true;
    return false;
}

}  // namespace

TEST_F(FrameTest, EveryControlOfEveryScreenHasANameForAssistiveTools) {
    for (int i = 0; i <= static_cast<int>(screens::Id::AnswerSheet); ++i) {
        const auto id = static_cast<screens::Id>(i);
        if (id == screens::Id::ExamWindow) continue;  // needs a drawn paper
        const std::unique_ptr<QDialog> screen = screens::Factory(id)();
        QStringList nameless;
        for (QWidget* control : screen->findChildren<QWidget*>()) {
            if (!IsNamedControl(control) || IsPartOfAnotherControl(control, screen.get())) continue;
            if (NameReadByAssistiveTools(control).isEmpty())
                nameless << QStringLiteral("%1 \"%2\"")
                                .arg(control->metaObject()->className(), control->objectName());
        }
        EXPECT_TRUE(nameless.isEmpty())
            << screens::ClassName(id).toStdString() << ": " << nameless.join(", ").toStdString();
    }
}
