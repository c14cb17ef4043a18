#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/messagebox.h"
#include "data/adoconn.h"
#include "data/schema.h"
#include "guitest.h"
#include "ui/papers/wordpaper.h"

namespace {

bool PoolExists() {
    return CADOConn().ExecuteIfPossible("select * from interim", schema::kQuestionsFile);
}

class WordPaperTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(Path("documents")));
        recorder->documentsFolder = Path("documents");
        window = std::make_unique<CWordPaper>(QStringLiteral("安全生产基础测试"));
        window->show();
    }
    void TearDown() override {
        window.reset();
        GuiTest::TearDown();
    }
    void Fill(const QString& title, const QString& minutes, const QString& passMark) {
        Find<QLineEdit>(window.get(), "title")->setText(title);
        Find<QLineEdit>(window.get(), "minutes")->setText(minutes);
        Find<QLineEdit>(window.get(), "passMark")->setText(passMark);
    }

    std::unique_ptr<CWordPaper> window;
};

TEST_F(WordPaperTest, EveryFieldIsNeededAndClearEmptiesThem) {
    EXPECT_EQ(window->windowTitle(), "Vemo—生成纸质考卷");
    QStringList captions;
    for (auto* b : window->findChildren<QPushButton*>()) captions << b->text();
    EXPECT_EQ(captions, QStringList({"清空", "生成考卷", "退出"}));
    // Each edit is named by its label.
    QStringList buddies;
    for (auto* label : window->findChildren<QLabel*>())
        if (label->buddy()) buddies << label->text() + ":" + label->buddy()->objectName();
    EXPECT_EQ(buddies, QStringList({"考试名称:title", "答题时限:minutes", "合格分数:passMark"}));
    EXPECT_TRUE(PoolExists());

    Fill("月考", "90", "");
    Click(window.get(), "generate");
    ASSERT_EQ(recorder->messages.size(), 1);
    EXPECT_EQ(recorder->messages[0].text, "输入数据不能为空！");
    EXPECT_EQ(recorder->messages[0].title, "Vemo提示");
    EXPECT_TRUE(recorder->openedWithSystem.isEmpty());

    Click(window.get(), "clear");
    for (const char* name : {"title", "minutes", "passMark"})
        EXPECT_TRUE(Find<QLineEdit>(window.get(), name)->text().isEmpty());
}

TEST_F(WordPaperTest, GeneratesANewDocumentOpensItAndLeaves) {
    QFile(Path("documents/安全月考.docx")).open(QIODevice::WriteOnly);  // an earlier paper stays
    Fill("安全月考", "90", "60");
    Click(window.get(), "generate");
    EXPECT_TRUE(recorder->messages.isEmpty());
    EXPECT_EQ(recorder->openedWithSystem, QStringList({Path("documents/安全月考(2).docx")}));
    EXPECT_GT(QFile(Path("documents/安全月考(2).docx")).size(), 0);
    EXPECT_EQ(QFile(Path("documents/安全月考.docx")).size(), 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_FALSE(PoolExists());
    EXPECT_EQ(recorder->exits, 0);
}

TEST_F(WordPaperTest, WithoutAProgramForTheDocumentTheFileStaysAndSoDoesTheWindow) {
    recorder->systemOpensFiles = false;
    Fill("安全月考", "90", "60");
    Click(window.get(), "generate");
    ASSERT_EQ(recorder->messages.size(), 1);
    EXPECT_EQ(recorder->messages[0].text,
              "本机没有安装word产品！\n考卷已保存在：" +
                  QDir::toNativeSeparators(Path("documents/安全月考.docx")));
    EXPECT_EQ(recorder->messages[0].title, msgbox::AppTitle());
    EXPECT_TRUE(QFile::exists(Path("documents/安全月考.docx")));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(WordPaperTest, EnterAndEscCloseTheWindowAndKeepThePool) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        window->show();
        QTest::keyClick(Find<QLineEdit>(window.get(), "title"), key);
        EXPECT_FALSE(window->isVisible()) << key;
        EXPECT_TRUE(PoolExists()) << key;
    }
    EXPECT_TRUE(recorder->messages.isEmpty());
}

TEST_F(WordPaperTest, AShortBankEndsTheProgram) {
    CADOConn conn;
    conn.ExecuteStatement("delete from 问答题 where 难度='困难'", schema::kQuestionsFile);
    conn.CloseDatabase();
    Fill("安全月考", "90", "60");
    Click(window.get(), "generate");
    ASSERT_EQ(recorder->messages.size(), 1);
    EXPECT_EQ(recorder->messages[0].text, "题库中“问答题”数量不符合考卷要求，退出程序！");
    EXPECT_EQ(recorder->messages[0].title, "Vemo提示");
    EXPECT_EQ(recorder->messages[0].icon, MsgIcon::None);
    EXPECT_EQ(recorder->exits, 1);
    EXPECT_TRUE(recorder->openedWithSystem.isEmpty());
}

// A template nested beyond any document, and one whose picture inflates to 1 GiB: each is
// refused quickly, naming the template, and no document is written.
TEST_F(WordPaperTest, ADamagedTemplateIsNamedNotFilled) {
    for (const char* name : {"deep-100k-levels.docx", "media-inflates-1GiB.docx"}) {
        SCOPED_TRACE(name);
        recorder->messages.clear();
        QFile::remove("wordtest.docx");
        ASSERT_TRUE(QFile::copy(QStringLiteral(VEMO_TEST_DATA "/damaged-templates/") + name,
                                "wordtest.docx"));
        Fill("安全月考", "90", "60");
        QElapsedTimer timer;
        timer.start();
        Click(window.get(), "generate");
        EXPECT_LT(timer.elapsed(), 5000);
        ASSERT_EQ(recorder->messages.size(), 1);
        const QString text = recorder->messages[0].text;
        EXPECT_TRUE(
            text.startsWith("考卷模板“" + QDir::current().filePath("wordtest.docx") + "”已损坏"))
            << text.toStdString();
        EXPECT_TRUE(recorder->openedWithSystem.isEmpty());
        EXPECT_TRUE(QDir(Path("documents")).isEmpty());
    }
}

TEST_F(WordPaperTest, ExitDropsThePoolButNotTheProgram) {
    Click(window.get(), "exit");
    EXPECT_FALSE(PoolExists());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(recorder->exits, 0);
}

}  // namespace
