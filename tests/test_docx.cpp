#include <QXmlStreamReader>

#include "data/docx.h"
#include "data/ziparchive.h"
#include "rules/printedpaper.h"
#include "testutil.h"

namespace {

// One paragraph of a main part as a reader sees it.
struct Paragraph {
    QString text;
    bool bold = false;
    QString halfPoints;  // the size of its runs
    QString alignment;
    QStringList starts;  // bookmarks starting here
    QStringList ends;    // ids of bookmarks ending here
};

QList<Paragraph> Paragraphs(const QByteArray& xml) {
    QList<Paragraph> paragraphs;
    QXmlStreamReader reader(xml);
    const QString w = docx::kWordNamespace;
    bool inRun = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement() && reader.name() == QLatin1String("r")) inRun = false;
        if (!reader.isStartElement() || reader.namespaceUri() != w) continue;
        const auto name = reader.name();
        const QString value = reader.attributes().value(w, "val").toString();
        if (name == QLatin1String("p")) paragraphs.append(Paragraph{});
        if (paragraphs.isEmpty()) continue;
        Paragraph& p = paragraphs.last();
        if (name == QLatin1String("r")) inRun = true;
        if (name == QLatin1String("t")) p.text += reader.readElementText();
        if (name == QLatin1String("b") && inRun) p.bold = true;
        if (name == QLatin1String("sz") && inRun) p.halfPoints = value;
        if (name == QLatin1String("jc")) p.alignment = value;
        if (name == QLatin1String("bookmarkStart"))
            p.starts << reader.attributes().value(w, "name").toString() + "#" +
                            reader.attributes().value(w, "id").toString();
        if (name == QLatin1String("bookmarkEnd"))
            p.ends << reader.attributes().value(w, "id").toString();
    }
    return paragraphs;
}

// The paragraphs from the one where a bookmark starts to the one where it ends.
QList<Paragraph> Bookmark(const QList<Paragraph>& paragraphs, const QString& name) {
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        for (const QString& start : paragraphs[i].starts) {
            if (!start.startsWith(name + "#")) continue;
            const QString id = start.section('#', 1);
            for (qsizetype j = i; j < paragraphs.size(); ++j)
                if (paragraphs[j].ends.contains(id)) return paragraphs.mid(i, j - i + 1);
        }
    }
    ADD_FAILURE() << "no bookmark " << name.toStdString();
    return {};
}

QStringList Texts(const QList<Paragraph>& paragraphs) {
    QStringList texts;
    for (const Paragraph& p : paragraphs) texts << p.text;
    return texts;
}

QByteArray MainPart(const QString& path) {
    const auto parts = ziparchive::Read(path);
    EXPECT_TRUE(parts);
    if (!parts) return {};
    for (const auto& part : *parts)
        if (part.name == docx::kMainPart) return part.data;
    ADD_FAILURE() << "no main part";
    return {};
}

class PrintedDocument : public DataFolderTest {};

TEST_F(PrintedDocument, EveryBookmarkHoldsItsTextAndFormatting) {
    assembly::MersenneRandom random(3);
    printed::CreateEmptyPool();
    const printed::DrawnPaper paper = printed::DrawPaper("安全生产基础测试", random);
    ASSERT_EQ(paper.outcome, printed::Outcome::Drawn);
    const auto fills = printed::DocumentFills({"安全月考", "90", "60"}, paper);
    QString error;
    ASSERT_EQ(docx::FillTemplate("wordtest.docx", Path("out.docx"), fills, &error),
              docx::FillResult::Filled)
        << error.toStdString();

    const QList<Paragraph> all = Paragraphs(MainPart(Path("out.docx")));
    const auto title = Bookmark(all, "mark1");
    ASSERT_EQ(title.size(), 1);
    EXPECT_EQ(title[0].text, "安全月考");
    EXPECT_TRUE(title[0].bold);
    EXPECT_EQ(title[0].halfPoints, "40");
    EXPECT_EQ(title[0].alignment, "center");

    const auto examinee = Bookmark(all, "mark2");
    EXPECT_EQ(Texts(examinee), QStringList({printed::ExamineeLine().chopped(1), ""}));
    for (const Paragraph& p : examinee) EXPECT_EQ(p.alignment, "right");

    const auto marks = Bookmark(all, "mark3");
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks[0].text, "（试卷满分31.0分，要求在90分钟内完成，合格分为60分）");
    EXPECT_TRUE(marks[0].bold);

    QString questions, answers;
    for (const auto& section : paper.sections) {
        questions += section.questions;
        answers += section.answers;
    }
    const auto questionLines = Bookmark(all, "mark4");
    EXPECT_EQ(Texts(questionLines), questions.split('\n'));
    EXPECT_EQ(questionLines[0].text, "一、单选题（每题2分，共8.0分）");
    for (const Paragraph& p : questionLines) EXPECT_FALSE(p.bold);

    const auto heading = Bookmark(all, "mark5");
    ASSERT_EQ(heading.size(), 1);
    EXPECT_EQ(heading[0].text, "参考答案");
    EXPECT_TRUE(heading[0].bold);
    EXPECT_EQ(Texts(Bookmark(all, "mark6")), answers.split('\n'));

    // Everything but the main part is the template's, byte for byte.
    const auto before = ziparchive::Read("wordtest.docx");
    const auto after = ziparchive::Read(Path("out.docx"));
    ASSERT_TRUE(before && after);
    ASSERT_EQ(before->size(), after->size());
    for (qsizetype i = 0; i < before->size(); ++i) {
        EXPECT_EQ((*before)[i].name, (*after)[i].name);
        if ((*before)[i].name != docx::kMainPart) {
            EXPECT_EQ((*before)[i].data, (*after)[i].data);
        }
    }
}

const char* const kPart =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" )"
    R"(xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="w"><w:body>)"
    R"(<w:p><w:pPr><w:spacing w:after="0"/><w:rPr><w:b/></w:rPr></w:pPr><w:r><w:t>前</w:t></w:r>)"
    R"(<w:bookmarkStart w:id="7" w:name="here"/><w:r><w:rPr><w:i/><w:sz w:val="18"/></w:rPr>)"
    R"(<w:t>旧</w:t></w:r><w:bookmarkEnd w:id="7"/><w:r><w:t>后</w:t></w:r></w:p>)"
    R"(<w:p><w:bookmarkStart w:id="8" w:name="open"/><w:r><w:t>x</w:t></w:r></w:p>)"
    R"(<w:p><w:bookmarkEnd w:id="8"/></w:p></w:body></w:document>)";

TEST(FillBookmarks, LinesBecomeParagraphsAroundWhatTheParagraphHeld) {
    const auto xml = docx::FillBookmarks(
        kPart, {{"here", "甲  乙\r\n\n丙\t丁", true, 12, docx::Alignment::Centre}});
    ASSERT_TRUE(xml);
    const QList<Paragraph> paragraphs = Paragraphs(*xml);
    EXPECT_EQ(Texts(paragraphs).mid(0, 3), QStringList({"前甲  乙", "", "丙丁后"}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(paragraphs[i].alignment, "center");
    EXPECT_TRUE(paragraphs[0].bold);
    EXPECT_EQ(paragraphs[0].halfPoints, "24");
    // The prefixes stay, since mc:Ignorable names them; properties keep the schema order.
    EXPECT_TRUE(xml->contains("<w:document xmlns:w="));
    EXPECT_TRUE(xml->contains(
        R"(<w:rPr><w:b/><w:bCs/><w:i/><w:sz w:val="24"/><w:szCs w:val="24"/></w:rPr>)"));
    EXPECT_TRUE(
        xml->contains(R"(<w:spacing w:after="0"/><w:jc w:val="center"/><w:rPr><w:b/></w:rPr>)"));
    EXPECT_TRUE(xml->contains("<w:tab/>"));
}

TEST(FillBookmarks, RefusesMissingAndSpanningBookmarks) {
    QString error;
    EXPECT_FALSE(docx::FillBookmarks(kPart, {{"mark9", "x"}}, &error));
    EXPECT_EQ(error, "缺少书签mark9");
    EXPECT_FALSE(docx::FillBookmarks(kPart, {{"open", "x"}}, &error));
    EXPECT_EQ(error, "书签open没有在它的段落中结束");
    EXPECT_FALSE(docx::FillBookmarks("<w:document", {{"here", "x"}}, &error));
}

}  // namespace
