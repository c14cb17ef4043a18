#include <gtest/gtest.h>

#include "data/codes.h"
#include "data/gbk.h"
#include "data/md5encrypt.h"

namespace {

using codes::Account;

// Expected digests below were computed outside the program (md5sum over iconv output).
TEST(DigestText, MatchesIndependentlyComputedDigests) {
    EXPECT_EQ(CMD5Encrypt::DigestText(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(CMD5Encrypt::DigestText("518274"), "533F449A91E61E4628DA0FD33CB60211");
    EXPECT_EQ(CMD5Encrypt::DigestText(QStringLiteral("中文")), "BCCE109775E8E1972E9F5FCDA3E12895");
    EXPECT_EQ(CMD5Encrypt::DigestText(QStringLiteral("O'Brien王")),
              "DB1C458ABB8B0B9357643934A12F67AD");
}

TEST(DigestText, CharactersOutsideGbkHaveOneStableDigest) {
    const QString emoji = QString::fromUtf8("😀");
    EXPECT_EQ(CMD5Encrypt::DigestText(emoji), "DFF967D55CEC26335A3C98749647F6AB");
    EXPECT_EQ(ToGbk(QString::fromUtf8("a😀")).toHex(), "619439fc36");
    EXPECT_EQ(FromGbk(ToGbk(emoji)), emoji);
    EXPECT_NE(CMD5Encrypt::DigestText(emoji), CMD5Encrypt::DigestText(QString::fromUtf8("😁")));
}

TEST(PasswordDigests, SaltsGoBeforeForTheSystemAdministratorAndAfterForTheExamAdministrator) {
    const auto admin = codes::DigestPassword(Account::SystemAdmin, "518274");
    EXPECT_EQ(admin.plain, "533F449A91E61E4628DA0FD33CB60211");
    EXPECT_EQ(admin.salted1, "F50B6E40AA1B855D55BDEC729CC77A82");  // kelp518274
    EXPECT_EQ(admin.salted2, "B03459B79FF08D5C0339FCF260DF4F47");  // xo518274
    const auto manager = codes::DigestPassword(Account::ExamAdmin, "903361");
    EXPECT_EQ(manager.plain, "4E81BC5FBF17FF151FF8409A16524FCB");
    EXPECT_EQ(manager.salted1, "5F86E35492E7373F3DBE1DC02886831D");  // 903361kelp
    EXPECT_EQ(manager.salted2, "99752EF116F481F3EFFE706B6322C10B");  // 903361xo
    EXPECT_EQ(codes::PasswordColumn(Account::SystemAdmin), QStringLiteral("系统管理员密码"));
    EXPECT_EQ(codes::PasswordColumn(Account::ExamAdmin), QStringLiteral("考试管理员密码"));
}

TEST(SaveCodes, EachCodeIsTheDigestOfItsColumnsInOrder) {
    const codes::PaperColumns paper{
        "卷",  "每题2.0分。甲:简单=1,;", "空", "空", "空", "空", "安全", "1",
        "2.0", "2026/12/09 10:00:00"};
    EXPECT_EQ(codes::PaperCode(paper),
              CMD5Encrypt::DigestText(
                  QStringLiteral("卷每题2.0分。甲:简单=1,;空空空空安全12.02026/12/09 10:00:00")));

    EXPECT_EQ(codes::ExamCode("考", "2026/12/09 09:00", "2026/12/16 09:00", "60", ""),
              CMD5Encrypt::DigestText(QStringLiteral("考2026/12/09 09:002026/12/16 09:0060")));
    EXPECT_NE(codes::ExamCode("考", "s", "e", "60", ""),
              codes::ExamCode("考", "s", "e", "60", "结束"));

    EXPECT_EQ(codes::EnrolmentCode("张三", "生产部", "操作工", "3", "60"),
              CMD5Encrypt::DigestText(QStringLiteral("张三生产部操作工360")));

    // 部门 has no part in the score code; the id comes first.
    const codes::ScoreColumns score{
        "17",   "张三", "操作工", "月考",
        "85.5", "60",   "1234",   QStringLiteral("2026/12/09　10:20:30")};
    EXPECT_EQ(
        codes::ScoreCode(score),
        CMD5Encrypt::DigestText(QStringLiteral("17张三操作工月考85.56012342026/12/09　10:20:30")));

    // An answer-sheet text moved into the next column changes the code.
    EXPECT_NE(codes::AnswerSheetCode({"A", "BC"}), codes::AnswerSheetCode({"AB", "C"}));
}

TEST(Counters, OffsetOfFiveAndTheFourChecks) {
    const auto c = codes::CountersFor(4);
    EXPECT_EQ(c.quality, 4);
    EXPECT_EQ(c.quantity, 9);

    // Exam selection: exactly one row; NULL quality skips the comparison.
    EXPECT_TRUE(codes::SelectionCountersValid(4, 1, 4, 9));
    EXPECT_FALSE(codes::SelectionCountersValid(4, 1, 5, 10)) << "both raised by one";
    EXPECT_FALSE(codes::SelectionCountersValid(4, 1, 4, 8));
    EXPECT_FALSE(codes::SelectionCountersValid(4, 2, 4, 9));
    EXPECT_FALSE(codes::SelectionCountersValid(4, 0, 4, 9));
    EXPECT_TRUE(codes::SelectionCountersValid(4, 1, QVariant(), QVariant()));
    EXPECT_FALSE(codes::SelectionCountersValid(0, 1, 0, QVariant())) << "NULL quantity reads 0";

    // Score query: NULLs read as 0, so NULL/NULL fails the offset.
    EXPECT_TRUE(codes::ScoreQueryCountersValid(2, 2, 7));
    EXPECT_FALSE(codes::ScoreQueryCountersValid(0, QVariant(), QVariant()));
    EXPECT_FALSE(codes::ScoreQueryCountersValid(3, 2, 7));

    // Exam management looks only at the quality.
    EXPECT_TRUE(codes::ManagementCountersValid(2, 5, 1, 2));
    EXPECT_TRUE(codes::ManagementCountersValid(2, 5, 1, QVariant()));
    EXPECT_FALSE(codes::ManagementCountersValid(2, 0, 0, 2));
    EXPECT_FALSE(codes::ManagementCountersValid(2, 5, 2, 2));
    EXPECT_FALSE(codes::ManagementCountersValid(3, 5, 1, 2));

    // Sign-in: while exams exist, registrations and counters must too.
    EXPECT_TRUE(codes::SignInCountersValid(0, 0, 0));
    EXPECT_TRUE(codes::SignInCountersValid(1, 3, 1));
    EXPECT_FALSE(codes::SignInCountersValid(1, 0, 1));
    EXPECT_FALSE(codes::SignInCountersValid(1, 3, 0));
}

}  // namespace
