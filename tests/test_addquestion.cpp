#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "bankfixture.h"
#include "guitest.h"
#include "ui/bank/addquestion.h"
#include "ui/common/showmap.h"

namespace {

using bankfixture::CountRows;

class AddQuestionTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        dialog = std::make_unique<CAddQuestion>();
        dialog->show();
    }
    void TearDown() override {
        dialog.reset();
        GuiTest::TearDown();
    }

    void Choose(const char* list, const QString& item) {
        auto* combo = Find<QComboBox>(dialog.get(), list);
        combo->setCurrentIndex(combo->findText(item));
    }
    void Type(const char* edit, const QString& text) {
        if (auto* line = dialog->findChild<QLineEdit*>(edit)) return line->setText(text);
        Find<QPlainTextEdit>(dialog.get(), edit)->setPlainText(text);
    }
    // A complete question of the type; the answer edit gets `answer`.
    void Fill(const QString& type, const QString& answer = "A") {
        Choose("subject", "安全生产");
        Choose("type", type);
        Choose("difficulty", "中等");
        Choose("group", "一线员工");
        Type("stem", "新题目");
        Type("optionA", "甲");
        Type("optionB", "乙");
        Type("optionC", "丙");
        Type("answer", answer);
        Choose("trueFalse", "A");
    }
    QString Add() {
        const int before = recorder->messages.size();
        Click(dialog.get(), "add");
        return recorder->messages.size() > before ? recorder->messages.last().text : QString();
    }
    bool Shown(const char* name) { return Find<QWidget>(dialog.get(), name)->isVisible(); }
    static int Stored(const QString& type) {
        return CountRows(type, " where 题干=?", {QStringLiteral("新题目")});
    }
    // A picture file in the data folder.
    static QString Picture(const QString& name) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        EXPECT_TRUE(image.save(name, "JPG"));
        return QDir::current().filePath(name);
    }

    std::unique_ptr<CAddQuestion> dialog;
};

TEST_F(AddQuestionTest, TheTypeChoosesOneOfThreeLayouts) {
    EXPECT_EQ(dialog->windowTitle(), "手动添加题目");
    EXPECT_EQ(Find<QComboBox>(dialog.get(), "subject")->count(), 2);
    EXPECT_EQ(Find<QComboBox>(dialog.get(), "group")->count(), 4);
    for (const char* list : {"subject", "type", "difficulty", "group", "trueFalse"})
        EXPECT_EQ(Find<QComboBox>(dialog.get(), list)->currentIndex(), -1) << list;
    EXPECT_TRUE(Shown("optionE"));
    EXPECT_FALSE(Shown("trueFalse"));
    Type("answer", "A B");
    Choose("type", "判断题");
    EXPECT_FALSE(Shown("optionA"));
    EXPECT_FALSE(Shown("answer"));
    EXPECT_TRUE(Shown("trueFalse"));
    Choose("type", "问答题");
    EXPECT_TRUE(Shown("answer"));
    EXPECT_FALSE(Shown("optionA"));
    EXPECT_FALSE(Shown("trueFalse"));
    EXPECT_GT(Find<QWidget>(dialog.get(), "answer")->height(), 100);
    EXPECT_EQ(Find<QPlainTextEdit>(dialog.get(), "answer")->toPlainText(), "A B");  // kept
    Choose("type", "多选题");
    EXPECT_TRUE(Shown("optionA"));
    EXPECT_LT(Find<QWidget>(dialog.get(), "answer")->height(), 40);

    for (QWidget* field : dialog->findChildren<QWidget*>()) {
        if (!qobject_cast<QComboBox*>(field) && !qobject_cast<QLineEdit*>(field) &&
            !qobject_cast<QPlainTextEdit*>(field))
            continue;
        bool labelled = !field->accessibleName().isEmpty();
        for (auto* label : dialog->findChildren<QLabel*>()) labelled |= label->buddy() == field;
        EXPECT_TRUE(labelled) << field->objectName().toStdString();
    }
}

TEST_F(AddQuestionTest, ChecksComeInOrderAndTheFormStays) {
    EXPECT_EQ(Add(), "请选择题型！");
    EXPECT_EQ(recorder->messages.last().title, "Vemo提醒");
    Fill("单选题");
    Choose("group", "");
    EXPECT_EQ(Add(), "添加数据不能为空！");
    Fill("单选题");
    EXPECT_EQ(Add(), "题目添加成功!");
    EXPECT_EQ(
        CountRows("单选题", " where 题干=? and D is null and E is null and 答案='A'", {"新题目"}),
        1);
    EXPECT_EQ(Find<QPlainTextEdit>(dialog.get(), "stem")->toPlainText(), "新题目");
    EXPECT_EQ(Add(), "题目已存在，不能重复添加！");
    EXPECT_EQ(Stored("单选题"), 1);

    // The hidden answer edit still counts for a 判断题; an essay keeps its spaces.
    Fill("判断题", "A B");
    EXPECT_EQ(Add(), "除问答题外的答案不能有空格存在，添加失败！");
    Fill("问答题", "甲 乙");
    EXPECT_EQ(Add(), "题目添加成功!");
    EXPECT_EQ(CountRows("问答题", " where 答案=?", {"甲 乙"}), 1);
    Fill("判断题", "");
    Choose("trueFalse", "");
    EXPECT_EQ(Add(), "数据选择不能为空！");

    Click(dialog.get(), "clear");
    EXPECT_TRUE(Find<QPlainTextEdit>(dialog.get(), "stem")->toPlainText().isEmpty());
    EXPECT_TRUE(Find<QLineEdit>(dialog.get(), "optionA")->text().isEmpty());
    EXPECT_EQ(Find<QComboBox>(dialog.get(), "type")->currentIndex(), -1);
}

TEST_F(AddQuestionTest, APictureIsStoredAsBmpUnderTheNewId) {
    const QString jpg = Picture("sign.jpg");
    ASSERT_TRUE(QFile::copy(jpg, "sign.JPG"));
    recorder->openFileAnswers = {QDir::current().filePath("sign.JPG"), jpg};
    Click(dialog.get(), "picture");
    EXPECT_EQ(recorder->messages.last().text, "请选择jpg或jpeg或bmp文件");
    EXPECT_EQ(dialog->Preview(), nullptr);
    Click(dialog.get(), "picture");
    ASSERT_NE(dialog->Preview(), nullptr);
    EXPECT_TRUE(dialog->Preview()->isVisible());
    EXPECT_EQ(dialog->Preview()->PictureSize(), QSize(40, 30));

    Fill("填空题", "甲#乙");
    recorder->answers = {MsgAnswer::Yes};
    EXPECT_EQ(Add(), "题目添加成功!");
    EXPECT_EQ(recorder->messages[recorder->messages.size() - 2].text, "确认要导入图片文件?");
    EXPECT_EQ(dialog->Preview(), nullptr);
    CADOConn conn;
    auto rs =
        conn.OpenRecordset("select * from 填空题 where 题干='新题目'", schema::kQuestionsFile);
    rs->MoveFirst();
    const QString name = "填空题" + rs->GetText("ID");
    EXPECT_EQ(rs->GetText("图片"), name);
    EXPECT_EQ(QImageReader("QuestionMap/" + name + ".bmp").format(), "bmp");
}

TEST_F(AddQuestionTest, NoToThePictureOrAPictureThatCannotBeWritten) {
    recorder->openFileAnswers = {Picture("sign.jpg")};
    Click(dialog.get(), "picture");
    Fill("多选题", "AB");
    recorder->answers = {MsgAnswer::No};
    EXPECT_EQ(Add(), "题目添加成功!");
    EXPECT_EQ(dialog->Preview(), nullptr);
    EXPECT_EQ(CountRows("多选题", " where 题干='新题目' and 图片 is null"), 1);

    // A file where the picture folder should be: nothing is stored.
    ASSERT_TRUE(QDir("QuestionMap").removeRecursively());
    QFile blocker("QuestionMap");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    recorder->openFileAnswers = {QDir::current().filePath("sign.jpg")};
    Click(dialog.get(), "picture");
    Fill("问答题", "答案");
    recorder->answers = {MsgAnswer::Yes};
    EXPECT_EQ(Add(), "图片文件无法保存，题目未添加！");
    EXPECT_EQ(Stored("问答题"), 0);
    EXPECT_NE(dialog->Preview(), nullptr);  // kept for another try

    // A stem with a quote is stored, and found again as a duplicate.
    ASSERT_TRUE(QFile::remove("QuestionMap"));
    recorder->answers = {MsgAnswer::Yes};
    Type("stem", "O'Neil的题");
    EXPECT_EQ(Add(), "题目添加成功!");
    EXPECT_TRUE(QDir("QuestionMap").exists());
    EXPECT_EQ(Add(), "题目已存在，不能重复添加！");
    EXPECT_EQ(CountRows("问答题", " where 题干=? and 图片 is not null", {"O'Neil的题"}), 1);
}

}  // namespace

// A bank that cannot be read is told when the form opens, not later as a missing subject.
TEST_F(AddQuestionTest, AnUnreadableBankIsToldWhenTheFormOpens) {
    dialog.reset();
    ASSERT_TRUE(QFile::remove("questions.mdb"));
    const int before = recorder->messages.size();
    CAddQuestion form;
    ASSERT_EQ(recorder->messages.size(), before + 1);
    EXPECT_TRUE(recorder->messages.last().text.startsWith("题库数据读写失败："))
        << recorder->messages.last().text.toStdString();
    EXPECT_EQ(Find<QComboBox>(&form, "subject")->count(), 0);
}
