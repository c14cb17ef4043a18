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

class BankQueryTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        bankfixture::EmptyBank();
    }
};

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
    EXPECT_EQ(CountRows(kSingle, " where D is null and E is null"), 1) << "empty D and E";
    // An imported 单选题 without D and E is the same question as one typed with them empty.
    AddQuestions(kSingle, 1, "安全生产", "导入");
    entry::Draft typed = Draft(kSingle);
    typed.stem = "导入1";
    typed.options = QStringList{"甲", "乙", "", "", ""};
    EXPECT_TRUE(entry::IsDuplicate(typed));
}

TEST(EntryPicture, OnlyLowerCaseExtensionsAreAccepted) {
    for (const char* path : {"a.jpg", "/x/y.z/a.jpeg", "a.b.bmp"})
        EXPECT_TRUE(entry::IsPictureFile(path)) << path;
    for (const char* path : {"a.JPG", "a.png", "a", "/x.jpg/a", "a.Bmp"})
        EXPECT_FALSE(entry::IsPictureFile(path)) << path;
}

}  // namespace
