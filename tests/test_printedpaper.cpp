#include <QRegularExpression>

#include "data/adoconn.h"
#include "data/gbk.h"
#include "data/schema.h"
#include "rules/printedpaper.h"
#include "testutil.h"

namespace {

using printed::Question;
using printed::SectionText;

Question Choice(const QString& stem, const QStringList& options, const QString& answer = "A") {
    return {stem, options, "2", answer};
}

QList<SectionText> Sections(const QList<QPair<QString, QList<Question>>>& byType) {
    QList<SectionText> sections;
    for (const auto& [type, questions] : byType)
        sections << printed::LayoutSection(type, questions);
    printed::NumberSections(sections);
    return sections;
}

TEST(PrintedLayout, NumeralsOnlyForSectionsWithQuestions) {
    const auto sections = Sections({{"单选题", {}},
                                    {"判断题", {{"地球是圆的。", {}, "1", "A"}}},
                                    {"填空题", {}},
                                    {"多选题", {}},
                                    {"问答题", {{"谈谈安全。", {}, "10", "注意"}}}});
    EXPECT_TRUE(sections[0].questions.isEmpty() && sections[0].answers.isEmpty());
    EXPECT_EQ(sections[1].questions,
              "一、判断题（每题1分，共1.0分）\n1、地球是圆的。\n    A、正确" + QString(20, ' ') +
                  "B、错误\n");
    EXPECT_EQ(sections[1].answers, "一、判断题\n1、A，\n");
    EXPECT_EQ(sections[4].questions, "二、问答题（每题10分，共10.0分）\n1、谈谈安全。\n\n\n\n\n");
    EXPECT_EQ(sections[4].answers, "二、问答题\n1、注意\n\n");
}

TEST(PrintedLayout, HeadingSumsThePointsOfTheSection) {
    const QStringList options = {"甲", "乙", "丙", "丁", ""};
    const auto sections = Sections(
        {{"单选题", {Choice("一", options), Choice("二", options), Choice("三", options)}}});
    EXPECT_TRUE(sections[0].questions.startsWith("一、单选题（每题2分，共6.0分）\n1、一\n"));
    EXPECT_EQ(sections[0].answers, "一、单选题\n1、A，2、A，3、A，\n");
}

TEST(PrintedLayout, OptionsShareALineUpTo42BytesWithoutSpaces) {
    const QString wide21 = QString(21, QChar(0x7532));  // 21 Chinese characters: 42 bytes
    ASSERT_EQ(printed::GbkLength(wide21), 42);
    struct Case {
        QStringList options;
        QString lines;
    } cases[] = {
        {{wide21, "B", "C", "D", ""},
         "    A、" + wide21 + "B、B\n    C、C" + QString(41, ' ') + "D、D\n"},
        {{"甲 乙", "B", "C", "D", "E"},
         "    A、甲乙" + QString(38, ' ') + "B、B\n    C、C" + QString(41, ' ') +
             "D、D\n    E、E\n"},
        // One option of 43 bytes puts every option on a line of its own.
        {{"A", "B", "C", "D", wide21 + "x"},
         "    A、A\n    B、B\n    C、C\n    D、D\n    E、" + wide21 + "x\n"},
        // Spaces do not count: 42 bytes once they are gone.
        {{wide21.left(20) + "  x", "B", "C", "D", ""},
         "    A、" + wide21.left(20) + "x" + QString(1, ' ') + "B、B\n    C、C" + QString(41, ' ') +
             "D、D\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(printed::OptionLines(c.options), c.lines) << c.lines.toStdString();
    // B and D start 42 bytes after A and C.
    const QStringList lines = printed::OptionLines({"甲", "B", "C", "D", ""}).split('\n');
    EXPECT_EQ(ToGbk(lines[0]).indexOf("B"), ToGbk(lines[1]).indexOf("D"));
}

TEST(PrintedLayout, FillInBlanksAndAnswers) {
    const auto sections = Sections(
        {{"填空题", {{"首都是 【】。", {}, "2", "北京"}, {"【】和【】", {}, "2", "P#Q"}}}});
    const QString blank(13, '_');
    EXPECT_EQ(sections[0].questions,
              "一、填空题（每题2分，共4.0分）\n1、首都是_____________。\n2、" + blank + "和" +
                  blank + "\n");
    EXPECT_EQ(sections[0].answers, "一、填空题\n1、北京，2、P Q，\n");
}

TEST(PrintedLayout, EssayAnswersStandOnePerLine) {
    const auto sections =
        Sections({{"问答题", {{"甲", {}, "5", "答一"}, {"乙", {}, "5.5", "答二"}}}});
    EXPECT_EQ(sections[0].answers, "一、问答题\n1、答一\n2、答二\n\n");
    EXPECT_TRUE(sections[0].questions.startsWith("一、问答题（每题5.5分，共10.5分）\n"));
}

TEST(PrintedLayout, TitleBlockLines) {
    EXPECT_EQ(printed::MarksLine(34, "90", "60"),
              "（试卷满分34.0分，要求在90分钟内完成，合格分为60分）");
    EXPECT_EQ(printed::ExamineeLine(), "姓名_____________ 职务_____________ 得分_____________\n");
    EXPECT_DOUBLE_EQ(printed::LeadingNumber("31.5分"), 31.5);
    EXPECT_DOUBLE_EQ(printed::LeadingNumber(""), 0);
}

class PrintedDraw : public DataFolderTest {
protected:
    static void Execute(const QString& sql, const QVariantList& params = {}) {
        CADOConn conn;
        conn.ExecuteStatement(sql, schema::kQuestionsFile, params);
    }
    static long Count(const QString& sql) {
        CADOConn conn;
        return conn.OpenRecordset(sql, schema::kQuestionsFile)->RecordCount();
    }
    static QString AllText(const printed::DrawnPaper& paper) {
        QString all;
        for (const SectionText& s : paper.sections) all += s.questions + s.answers;
        return all;
    }
    assembly::MersenneRandom random{7};
};

TEST_F(PrintedDraw, SamplePaperNeverPrintsPictureQuestions) {
    printed::CreateEmptyPool();
    for (int run = 0; run < 8; ++run) {
        const printed::DrawnPaper paper = printed::DrawPaper("安全生产基础测试", random);
        ASSERT_EQ(paper.outcome, printed::Outcome::Drawn);
        EXPECT_DOUBLE_EQ(paper.fullMarks, 31);
        EXPECT_FALSE(AllText(paper).contains("图中所示安全标志")) << run;
        EXPECT_TRUE(AllText(paper).contains("高处作业"));
        // 4 单选题, 3 判断题, 2 填空题, 2 多选题, 1 问答题, numbered 一 to 五.
        const QStringList numerals = {
            "一、单选题（每题2分，共8.0分）", "二、判断题（每题1分，共3.0分）",
            "三、填空题（每题2分，共4.0分）", "四、多选题（每题3分，共6.0分）",
            "五、问答题（每题10分，共10.0分）"};
        for (int t = 0; t < 5; ++t)
            EXPECT_TRUE(paper.sections[t].questions.startsWith(numerals[t]));
        // Each generation starts from an empty pool; the paper table is gone again.
        EXPECT_EQ(Count("select * from interim"), 12);
        EXPECT_THROW(CADOConn().ExecuteStatement("select * from exam", schema::kQuestionsFile),
                     DatabaseError);
    }
}

TEST_F(PrintedDraw, ARuleOnlyPictureQuestionsCouldFillIsAShortage) {
    printed::CreateEmptyPool();
    Execute("update exampaper set 单选题=? where 名称='安全生产基础测试'",
            {QStringLiteral("每题2.0分。一线员工:简单=3,中等=2,;")});
    const printed::DrawnPaper paper = printed::DrawPaper("安全生产基础测试", random);
    EXPECT_EQ(paper.outcome, printed::Outcome::BankTooSmall);
    EXPECT_EQ(printed::OutcomeMessage(paper), "题库中“单选题”数量不符合考卷要求，退出程序！");
    EXPECT_EQ(Count("select * from interim"), 0);

    Execute(
        "update exampaper set 判断题='每题1.0分。一线员工:简单=x,;' where 名称='安全生产基础测试'");
    EXPECT_EQ(printed::DrawPaper("安全生产基础测试", random).outcome, printed::Outcome::BrokenRule);
}

TEST_F(PrintedDraw, MultiSubjectFullMarksSumTheSubjectRows) {
    Execute("update testpaper set 满分='20.5' where 科目='规章制度'");
    const printed::DrawnPaper paper = printed::DrawPaper("安全与制度综合测试", random);
    ASSERT_EQ(paper.outcome, printed::Outcome::Drawn);
    EXPECT_DOUBLE_EQ(paper.fullMarks, 39.5);  // 19 + 20.5, not the summary row's 34
    const auto fills = printed::DocumentFills({"月考", "90", "60"}, paper);
    EXPECT_EQ(fills[2].text, "（试卷满分39.5分，要求在90分钟内完成，合格分为60分）");
}

TEST(PrintedDocumentPath, NamedAfterTheTitleAndNeverAnExistingFile) {
    QTemporaryDir dir;
    const QDir folder(dir.path());
    EXPECT_EQ(printed::NewDocumentPath(dir.path(), " 安全/月考 "),
              folder.filePath("安全_月考.docx"));
    QFile(folder.filePath("月考.docx")).open(QIODevice::WriteOnly);
    EXPECT_EQ(printed::NewDocumentPath(dir.path(), "月考"), folder.filePath("月考(2).docx"));
    EXPECT_EQ(printed::NewDocumentPath(dir.path(), "..."), folder.filePath("考卷....docx"));
}

}  // namespace
