#include <gtest/gtest.h>

#include "data/formats.h"

namespace {

TEST(Formats, ScoresDropATrailingPointZero) {
    EXPECT_EQ(FormatScore(85.0), "85");
    EXPECT_EQ(FormatScore(85.5), "85.5");
    EXPECT_EQ(FormatScore(0), "0");
    EXPECT_EQ(FormatScore(12.5), "12.5");
    EXPECT_EQ(FormatScore(59.96), "60");
    EXPECT_EQ(FormatScore(100.04), "100");
}

TEST(Formats, TimeTexts) {
    EXPECT_EQ(FormatDuration(0), "00:00:00");
    EXPECT_EQ(FormatDuration(3725), "01:02:05");
    EXPECT_EQ(FormatDuration(359999), "99:59:59");
    EXPECT_EQ(FormatDuration(360000), "100:00:00");
    const QDateTime t(QDate(2026, 3, 4), QTime(5, 6, 7));
    EXPECT_EQ(FormatExamTime(t), "2026/03/04 05:06");
    EXPECT_EQ(FormatCreationTime(t), "2026/03/04 05:06:07");
    EXPECT_EQ(FormatHandInTime(t), QString("2026/03/04") + QChar(0x3000) + "05:06:07");
}

TEST(Formats, ExamTimesAreReadInTheStoredAndTheDashForm) {
    const QDateTime expected(QDate(2026, 12, 9), QTime(8, 5));
    EXPECT_EQ(ParseExamTime("2026/12/09 08:05"), expected);
    EXPECT_EQ(ParseExamTime("2026-12-09 08:05"), expected);
    EXPECT_EQ(ParseExamTime("2026/12/9 8:05"), expected);
    EXPECT_EQ(ParseExamTime(" 2026/12/09 08:05:00 "), expected);
    EXPECT_FALSE(ParseExamTime(""));
    EXPECT_FALSE(ParseExamTime("明天"));
    EXPECT_FALSE(ParseExamTime("2026/13/40 08:05"));
    EXPECT_FALSE(ParseExamTime("2026/12/09"));
}

}  // namespace
