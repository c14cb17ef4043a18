#include <QDir>
#include <QFile>

#include "bankfixture.h"
#include "rules/questionbank.h"
#include "rules/questionentry.h"
#include "testutil.h"

namespace {

using bank::PagingButton;
using bankfixture::AddQuestions;
using bankfixture::CountRows;

const QString kSingle = QStringLiteral("单选题"), kJudge = QStringLiteral("判断题"),
              kFill = QStringLiteral("填空题"), kMultiple = QStringLiteral("多选题"),
              kEssay = QStringLiteral("问答题");

TEST(BankPaging, ButtonsMoveWithinThePages) {
    const std::optional<int> none;
    struct Case {
        PagingButton button;
        int page, pageCount;
        std::optional<int> target;
    } cases[] = {
        {PagingButton::First, 1, 3, none},    {PagingButton::First, 3, 3, 1},
        {PagingButton::Previous, 1, 3, none}, {PagingButton::Previous, 3, 1, 2},
        {PagingButton::Next, 2, 3, 3},        {PagingButton::Next, 3, 3, 3},  // queried again
        {PagingButton::Next, 3, 1, 3},        {PagingButton::Last, 3, 3, none},
        {PagingButton::Last, 1, 3, 3},        {PagingButton::Last, 3, 1, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bank::PageAfter(c.button, c.page, c.pageCount), c.target)
            << int(c.button) << " on " << c.page << " of " << c.pageCount;
    EXPECT_EQ(bank::PageCount(0), 0);
    EXPECT_EQ(bank::PageCount(50), 1);
    EXPECT_EQ(bank::PageCount(120), 3);
    EXPECT_EQ(bank::PageLabel(3, 1), "第 3 页  共 1 页");
}

TEST(BankImport, OnlyTheExactFileNameIsAccepted) {
    EXPECT_TRUE(bank::IsImportWorkbookName("questions.xls"));
    for (const char* name :
         {"Questions.xls", "questions.XLS", "questions.xlsx", "my questions.xls"})
        EXPECT_FALSE(bank::IsImportWorkbookName(QString::fromUtf8(name))) << name;
}

class BankQueryTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        bankfixture::EmptyBank();
    }
    static QStringList Numbers(const bank::Page& page) {
        QStringList numbers;
        for (const auto& row : page.rows)
            numbers << QString::number(row.number) + row.cells[1] + row.cells[2];
        return numbers;
    }
};

TEST_F(BankQueryTest, PagesNumberAcrossTheTypesInTheFixedOrder) {
    AddQuestions(kMultiple, 50, "安全生产", "多");
    AddQuestions(kSingle, 70, "安全生产", "单");
    AddQuestions(kJudge, 5, "安全生产", "判");  // not checked
    const bank::Filter filter{{kMultiple, kSingle}, {}, {}};

    const bank::Page first = bank::QueryPage(filter, 1);
    EXPECT_EQ(first.matches, 120);
    ASSERT_EQ(first.rows.size(), 50u);
    EXPECT_EQ(Numbers(first).first(), "1单选题单1");
    EXPECT_EQ(Numbers(first).last(), "50单选题单50");
    EXPECT_EQ(first.rows[0].cells.size(), 11);

    const bank::Page second = bank::QueryPage(filter, 2);
    EXPECT_EQ(Numbers(second)[19], "70单选题单70");
    EXPECT_EQ(Numbers(second)[20], "71多选题多1");

    const bank::Page third = bank::QueryPage(filter, 3);
    ASSERT_EQ(third.rows.size(), 20u);
    EXPECT_EQ(Numbers(third).first(), "101多选题多31");
    EXPECT_EQ(Numbers(third).last(), "120多选题多50");
    EXPECT_TRUE(bank::QueryPage(filter, 4).rows.empty());
}

TEST_F(BankQueryTest, KeywordAnywhereInTheStemSubjectExactly) {
    AddQuestions(kFill, 3, "安全生产", "防火");
    AddQuestions(kFill, 2, "安全生产一", "用电防火");
    AddQuestions(kFill, 1, "规章制度", "100%_完成");
    struct Case {
        const char* subject;
        const char* keyword;
        int matches;
    } cases[] = {{"", "", 6},     {"", "防火", 5}, {"安全生产", "", 3}, {"安全生产", "防火2", 1},
                 {"安全", "", 0}, {"", "0%_", 1},  {"", "0%", 1},       {"", "_", 1},
                 {"", "火1", 2}};
    for (const Case& c : cases) {
        const bank::Filter filter{
            {kFill}, QString::fromUtf8(c.subject), QString::fromUtf8(c.keyword)};
        EXPECT_EQ(bank::QueryPage(filter, 1).matches, c.matches) << c.subject << "/" << c.keyword;
    }
    // A keyword whose % would match anything in a pattern matches only itself.
    EXPECT_EQ(bank::QueryPage({{kFill}, {}, QStringLiteral("防%")}, 1).matches, 0);
}

TEST_F(BankQueryTest, DeletingAQuestionTakesItsPictureAlong) {
    AddQuestions(kSingle, 2, "安全生产", "单");
    const auto rows = bank::QueryPage({{kSingle}, {}, {}}, 1).rows;
    QFile picture(bank::PicturePath(kSingle + rows[0].id));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();
    EXPECT_TRUE(bank::DeleteQuestion(kSingle, rows[0].id));
    EXPECT_FALSE(picture.exists());
    EXPECT_FALSE(bank::DeleteQuestion(kSingle, rows[1].id));
    EXPECT_EQ(CountRows(kSingle), 0);
}

class EntryTest : public DataFolderTest {
protected:
    static entry::Draft Draft(const QString& type) {
        entry::Draft d{"安全生产", type, "题目'一'", {"甲", "乙", "丙", "", ""},
                       "A",        "",   "简单",     "一线员工"};
        if (type == kJudge) d.trueFalse = "B";
        return d;
    }
};

TEST_F(EntryTest, ChecksComeInTheirOrder) {
    using entry::Refusal;
    struct Case {
        QString type;
        std::function<void(entry::Draft&)> change;
        Refusal refusal;
    } cases[] = {
        {kSingle, [](entry::Draft& d) { d.type.clear(); }, Refusal::NoType},
        {kSingle, [](entry::Draft& d) { d.options[2].clear(); }, Refusal::EmptyFields},
        {kMultiple, [](entry::Draft& d) { d.group.clear(); }, Refusal::EmptyFields},
        {kSingle, [](entry::Draft&) {}, Refusal::None},  // D and E may be empty
        {kJudge, [](entry::Draft& d) { d.trueFalse.clear(); }, Refusal::EmptyChoices},
        {kJudge, [](entry::Draft& d) { d.answerText.clear(); }, Refusal::None},
        {kJudge, [](entry::Draft& d) { d.answerText = "A B"; }, Refusal::SpaceInAnswer},
        {kFill, [](entry::Draft& d) { d.answerText.clear(); }, Refusal::EmptyFields},
        {kFill, [](entry::Draft& d) { d.options.clear(); }, Refusal::None},
        {kMultiple, [](entry::Draft& d) { d.answerText = "A C"; }, Refusal::SpaceInAnswer},
        {kEssay, [](entry::Draft& d) { d.answerText = "A C"; }, Refusal::None},
        {kEssay, [](entry::Draft& d) { d.answerText = "A|C"; }, Refusal::BarInAnswer},
        {kFill, [](entry::Draft& d) { d.answerText = "a |b"; }, Refusal::SpaceInAnswer},
    };
    for (const Case& c : cases) {
        entry::Draft draft = Draft(c.type);
        c.change(draft);
        EXPECT_EQ(entry::Check(draft), c.refusal) << c.type.toStdString() << " " << &c - cases;
    }
    EXPECT_TRUE(entry::IsReminder(Refusal::EmptyChoices));
    EXPECT_FALSE(entry::IsReminder(Refusal::SpaceInAnswer));
}

TEST_F(EntryTest, EachTypeStoresItsColumnsAndIsRefusedTheSecondTime) {
    struct Case {
        QString type;
        QString a, c, answer;  // as read back; NULL reads empty
    } cases[] = {{kSingle, "甲", "丙", "A"},
                 {kJudge, "正确", "", "B"},
                 {kFill, "", "", "A"},
                 {kMultiple, "甲", "丙", "A"},
                 {kEssay, "", "", "A"}};
    for (const Case& c : cases) {
        entry::Draft draft = Draft(c.type);
        draft.answerText = c.type == kJudge ? "xyz" : "A";  // the hidden edit is not stored
        EXPECT_FALSE(entry::IsDuplicate(draft));
        qlonglong id = 0;
        ASSERT_EQ(entry::Store(draft, nullptr, &id), entry::StoreOutcome::Stored);
        EXPECT_EQ(CountRows(c.type,
                            " where ID=? and A is ? and ifnull(C,'')=? and 答案=? and "
                            "题干=? and 图片 is null",
                            {id, c.a.isEmpty() ? QVariant() : c.a, c.c, c.answer, draft.stem}),
                  1)
            << c.type.toStdString();
        draft.answerText = c.type == kJudge ? "other" : "A";
        EXPECT_TRUE(entry::IsDuplicate(draft)) << c.type.toStdString();
        draft.stem += "2";
        EXPECT_FALSE(entry::IsDuplicate(draft));
    }
    // An imported 单选题 without D and E is the same question as one typed with them empty.
    AddQuestions(kSingle, 1, "安全生产", "导入");
    entry::Draft typed = Draft(kSingle);
    typed.stem = "导入1";
    typed.options = QStringList{"甲", "乙", "", "", ""};
    EXPECT_TRUE(entry::IsDuplicate(typed));
}

TEST_F(EntryTest, ThePictureIsStoredWithTheRowOrNothingIs) {
    ASSERT_TRUE(QDir("QuestionMap").removeRecursively());
    const entry::Draft draft = Draft(kMultiple);
    qlonglong id = 0;
    auto write = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("BM") == 2;
    };
    ASSERT_EQ(entry::Store(draft, write, &id), entry::StoreOutcome::Stored);
    const QString name = kMultiple + QString::number(id);
    EXPECT_TRUE(QFile::exists("QuestionMap/" + name + ".bmp"));
    EXPECT_EQ(CountRows(kMultiple, " where ID=? and 图片=?", {id, name}), 1);

    const int before = CountRows(kMultiple);
    auto failing = [](const QString& path) {
        QFile(path).open(QIODevice::WriteOnly);  // a partial file is removed again
        return false;
    };
    EXPECT_EQ(entry::Store(Draft(kEssay), failing), entry::StoreOutcome::PictureNotWritten);
    EXPECT_EQ(CountRows(kEssay, " where 题干=?", {Draft(kEssay).stem}), 0);
    EXPECT_EQ(QDir("QuestionMap").entryList(QDir::Files).size(), 1);
    EXPECT_EQ(CountRows(kMultiple), before);
}

TEST(EntryPicture, OnlyLowerCaseExtensionsAreAccepted) {
    for (const char* path : {"a.jpg", "/x/y.z/a.jpeg", "a.b.bmp"})
        EXPECT_TRUE(entry::IsPictureFile(path)) << path;
    for (const char* path : {"a.JPG", "a.png", "a", "/x.jpg/a", "a.Bmp"})
        EXPECT_FALSE(entry::IsPictureFile(path)) << path;
}

}  // namespace
