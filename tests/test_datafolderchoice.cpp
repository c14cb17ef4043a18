#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>

#include "app/datafolder.h"
#include "app/screens.h"
#include "app/vemoapp.h"
#include "data/adoconn.h"
#include "data/schema.h"
#include "guitest.h"

namespace {

// The delivered folder is the current directory; the user's settings file lies in a
// folder of the test's own.
class DataFolderChoice : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        m_configHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_other.filePath("config").toUtf8());
        delivered = QDir::currentPath();
    }
    void TearDown() override {
        qputenv("XDG_CONFIG_HOME", m_configHome);
        QDir::setCurrent(delivered);
        GuiTest::TearDown();
    }
    QString Other(const QString& name) const { return m_other.filePath(name); }
    static long Rows(const QString& sql, const QString& file) {
        return CADOConn().OpenRecordset(sql, file)->RecordCount();
    }

    QString delivered;

private:
    QTemporaryDir m_other;
    QByteArray m_configHome;
};

TEST_F(DataFolderChoice, TheCurrentDirectoryWithDataComesFirstThenTheFirstNamedFolder) {
    const QString empty = Other("empty");
    QDir().mkpath(empty);
    const struct {
        datafolder::Sources sources;
        QString folder;
        bool holdsData;
    } cases[] = {
        {{delivered, empty, empty, empty}, delivered, true},
        {{empty, "", delivered, empty}, delivered, true},
        {{empty, empty, delivered, delivered}, empty, false},
        {{empty, "", "", delivered}, delivered, true},
        {{empty, "", " ", ""}, QDir::homePath() + "/Vemo", false},
    };
    for (const auto& c : cases) {
        const auto located = datafolder::Locate(c.sources);
        EXPECT_EQ(located.folder, c.folder) << c.sources.option.toStdString();
        EXPECT_EQ(located.holdsData, c.holdsData) << c.folder.toStdString();
    }
}

TEST_F(DataFolderChoice, CommandLine) {
    const struct {
        QStringList arguments;
        QString folder;
        bool help, version, error;
    } cases[] = {
        {{"--data", "/srv/vemo"}, "/srv/vemo", false, false, false},
        {{"--data=/srv/vemo"}, "/srv/vemo", false, false, false},
        {{"--data"}, "", false, false, true},
        {{"--data", "--help"}, "", false, false, true},
        {{"--data="}, "", false, false, true},
        {{"-platform", "offscreen", "--version"}, "", false, true, false},
        {{"-h"}, "", true, false, false},
    };
    for (const auto& c : cases) {
        const auto command = CVemoApp::ParseCommandLine(QStringList{"vemo"} + c.arguments);
        const std::string shown = c.arguments.join(' ').toStdString();
        EXPECT_EQ(command.dataFolder, c.folder) << shown;
        EXPECT_EQ(command.help, c.help) << shown;
        EXPECT_EQ(command.version, c.version) << shown;
        EXPECT_EQ(!command.error.isEmpty(), c.error) << shown;
    }
    QProcess vemo;
    vemo.start(VEMO_BINARY, {"--version"});
    ASSERT_TRUE(vemo.waitForFinished(5000));
    EXPECT_TRUE(vemo.readAll().startsWith("vemo 1.")) << "answers without a display";
}

TEST_F(DataFolderChoice, EachChoiceMakesOrChecksEntersAndRemembers) {
    QDir().mkpath(Other("occupied"));
    QFile(Other("occupied/notes.txt")).open(QIODevice::WriteOnly);
    QDir().mkpath(Other("emptyExisting"));
    using datafolder::Choice;
    const struct {
        Choice choice;
        QString folder;
        bool entered;
        long examinees;  // in the folder entered
        long questions;
    } cases[] = {
        {Choice::SampleFolder, Other("new/sample"), true, 5, 18},
        {Choice::EmptySiteFolder, Other("emptyExisting"), true, 0, 0},
        {Choice::SampleFolder, Other("occupied"), false, 0, 0},
        {Choice::ExistingFolder, Other("occupied"), false, 0, 0},
        {Choice::ExistingFolder, Other("new/sample"), true, 5, 18},
        {Choice::ExistingFolder, " ", false, 0, 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(QDir::setCurrent(delivered));
        const auto outcome = datafolder::Choose(c.choice, c.folder, QString(), Now());
        const std::string shown = c.folder.toStdString();
        ASSERT_EQ(outcome.entered, c.entered) << shown << outcome.message.toStdString();
        EXPECT_EQ(outcome.message.contains("518274") && outcome.message.contains("903361"),
                  c.choice == Choice::EmptySiteFolder)
            << shown;
        if (!c.entered) {
            EXPECT_EQ(QDir::currentPath(), delivered) << shown;
            EXPECT_FALSE(outcome.message.isEmpty()) << shown;
            continue;
        }
        EXPECT_EQ(QDir::currentPath(), c.folder);
        EXPECT_EQ(datafolder::Remembered(), c.folder);
        EXPECT_EQ(Rows("select * from examinee", schema::kPersonnelFile), c.examinees);
        EXPECT_EQ(
            Rows("select ID from 单选题 union all select ID from 判断题 union all select ID "
                 "from 填空题 union all select ID from 多选题 union all select ID from 问答题",
                 schema::kQuestionsFile),
            c.questions);
        EXPECT_EQ(Rows("select * from LastPass", schema::kPersonnelFile), 3);
    }
    EXPECT_EQ(QDir(Other("occupied")).entryList(QDir::Files), QStringList{"notes.txt"});
}

TEST_F(DataFolderChoice, TheFirstStartWindowLeadsToSignInAndTheAdministratorBackToIt) {
    const auto admin = screens::Factory(screens::Id::Admin)();
    EXPECT_TRUE(Find<QLabel>(admin.get(), "dataFolder")->text().contains(delivered));
    Click(admin.get(), "changeDataFolder");
    ASSERT_EQ(recorder->navigations.size(), 1);
    EXPECT_EQ(recorder->navigations.last().screen, "CChooseDataFolder");

    const auto window = screens::Factory(screens::Id::DataFolder, Other("site"))();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vemo—选择数据文件夹"));
    EXPECT_NE(window->findChild<QAbstractButton*>("back"), nullptr) << "a folder is in use";
    EXPECT_EQ(Find<QLineEdit>(window.get(), "folder")->text(), Other("site"));
    Find<QRadioButton>(window.get(), "emptySiteFolder")->click();
    Click(window.get(), "accept");
    ASSERT_EQ(recorder->messages.size(), 1);
    EXPECT_TRUE(recorder->messages[0].text.contains("518274"));
    EXPECT_EQ(recorder->navigations.last().screen, "CLogin");
    EXPECT_EQ(QDir::currentPath(), Other("site"));
}

}  // namespace
