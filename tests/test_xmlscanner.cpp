#include <gtest/gtest.h>

#include <QString>

#include "data/xmlscanner.h"

namespace {

using Token = XmlScanner::Token;

// The document as "<name>", "[text]" and "</name>", then "$" at its end or "!" where
// the scan gave up. Stops after more steps than the document has bytes: a scanner that
// does not move forward shows as "…".
std::string Scan(const QByteArray& document) {
    XmlScanner xml(document);
    std::string out;
    QByteArray text;
    for (qsizetype steps = 0; steps <= document.size() + 2; ++steps) {
        switch (xml.Next()) {
            case Token::StartElement:
                out += "<" + xml.Name().toByteArray().toStdString() + ">";
                break;
            case Token::EndElement:
                out += "</" + xml.Name().toByteArray().toStdString() + ">";
                break;
            case Token::Text:
                text.clear();
                xml.AppendText(&text);
                out += "[" + text.toStdString() + "]";
                break;
            case Token::EndDocument:
                return out + "$";
            case Token::Invalid:
                return out + "!";
        }
    }
    return out + "…";
}

TEST(XmlScannerTest, ReadsWhatWorkbookPartsHold) {
    const struct {
        const char* document;
        const char* tokens;
    } cases[] = {
        {"<a>&lt;&gt;&amp;&quot;&apos;&#65;&#x42;&#x4e2D;&#0000000067;</a>",
         "<a>[<>&\"'AB中C]</a>$"},
        {"<a>x\r\ny\rz</a>", "<a>[x\ny\nz]</a>$"},
        {"<a><![CDATA[<&x;]]\r\n]]>t</a>", "<a>[<&x;]]\n][t]</a>$"},
        {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- c --><a><?pi x?>t<!-- - -->u</a> <!--e-->",
         "<a>[t][u]</a>$"},
        {"<a><b/><c ></c ></a>", "<a><b></b><c></c></a>$"},
        {"<x:a xmlns:x=\"u\"><x:b/>\n</x:a>", "<a><b></b>[\n]</a>$"},
        {"<a>中文 &#x1F600;</a>", "<a>[中文 \xF0\x9F\x98\x80]</a>$"},
    };
    for (const auto& c : cases) EXPECT_EQ(Scan(c.document), c.tokens) << c.document;
}

TEST(XmlScannerTest, RefusesDamagedDocuments) {
    for (const char* document : {
             "",
             "  ",
             "<a>",
             "<a>t",
             "<a></b>",
             "<a/><b/>",
             "<a/>x",
             "x<a/>",
             "</a>",
             "<a b='<'/>",
             "<a b=\"1\" b='2'/>",
             "<a b=1/>",
             "<a b=\"1\"c=\"2\"/>",
             "<a b/>",
             "<a b=\"1/>",
             "<a>&foo;</a>",
             "<a>&#0;</a>",
             "<a>&#xD800;</a>",
             "<a>&#x110000;</a>",
             "<a>&#x41</a>",
             "<a>&#;</a>",
             "<a>&#x;</a>",
             "<a>&#1a;</a>",
             "<a>& b</a>",
             "<a b=\"&#1;\"/>",
             "<a>]]></a>",
             "<a>\x01</a>",
             "<a>\xFF</a>",
             "<a>\xC3</a>",
             "<a>\xC0\x80</a>",
             "<a>\xED\xA0\x80</a>",
             "<a>\xEF\xBF\xBE</a>",
             "<a>\xF4\x90\x80\x80</a>",
             " <?xml version=\"1.0\"?><a/>",
             "<a><?xml x?></a>",
             "<a><!-- a -- b --></a>",
             "<a><!-- a</a>",
             "<a><?p</a>",
             "<1a/>",
             "<a:/>",
             "<:a/>",
             "<a:b:c/>",
             "<a/ >",
             "< a/>",
             "<![CDATA[x]]><a/>",
             "<a><![CDATA[x</a>",
             "<a><!x></a>",
         })
        EXPECT_EQ(Scan(document).back(), '!') << document;
}

TEST(XmlScannerTest, EveryCutOfADocumentIsRefused) {
    const QByteArray document =
        "\xEF\xBB\xBF<?xml version=\"1.0\"?><!-- c --><sst a='1' b=\"&amp;\"><si><t "
        "xml:space=\"preserve\">中&#x41;&lt;</t><![CDATA[x]]></si><si/></sst>";
    EXPECT_EQ(Scan(document).back(), '$');
    for (qsizetype size = 0; size < document.size(); ++size)
        EXPECT_EQ(Scan(document.left(size)).back(), '!') << size;
}

TEST(XmlScannerTest, AttributesByTheirNameAsWritten) {
    const QByteArray document =
        "<c r=\"B2\" t='s\"' x:s = \"a&amp;&#10;b\tc\r\nd\" e=\"\" s=\"7\" xmlns:x=\"u\"/>";
    XmlScanner xml(document);
    ASSERT_EQ(xml.Next(), Token::StartElement);
    QByteArray scratch;
    const std::pair<const char*, const char*> attributes[] = {
        {"r", "B2"}, {"t", "s\""}, {"x:s", "a&\nb c d"}, {"e", ""}, {"s", "7"}, {"absent", ""},
    };
    for (const auto& [name, value] : attributes)
        EXPECT_EQ(xml.Attribute(name, &scratch), QByteArrayView(value)) << name;
}

TEST(XmlScannerTest, LimitsAndOtherEncodings) {
    const auto nested = [](int depth) {
        return QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
    };
    EXPECT_EQ(Scan(nested(XmlScanner::kDepthLimit)).back(), '$');
    EXPECT_EQ(Scan(nested(XmlScanner::kDepthLimit + 1)).back(), '!');

    QByteArray many = "<a";
    for (int i = 0; i < 40; ++i) many += " n" + QByteArray::number(i) + "=\"\"";
    EXPECT_EQ(Scan(many + "/>"), "<a></a>$");
    EXPECT_EQ(Scan(many + " n17=\"\"/>"), "!");

    const QString text = QStringLiteral("<a>中</a>");
    QByteArray utf16le("\xFF\xFE");
    for (const QChar c : text)
        utf16le += QByteArray(1, char(c.unicode() & 0xFF)) + char(c.unicode() >> 8);
    EXPECT_EQ(Scan(utf16le), "<a>[中]</a>$");
    EXPECT_EQ(Scan(utf16le.chopped(8) + QByteArray("\x00\xD8", 2) + utf16le.right(8)),
              "!");  // half a surrogate pair

    const QByteArray withDoctype = "<!DOCTYPE a [<!ENTITY b \"c\">]><a>&b;</a>";
    XmlScanner doctype(withDoctype);
    EXPECT_EQ(doctype.Next(), Token::Invalid);
    EXPECT_EQ(doctype.problem(), XmlScanner::Problem::DocumentType);
    const QByteArray mismatched = "<a>\n\n<b></c></a>";
    XmlScanner broken(mismatched);
    while (broken.Next() != Token::Invalid) {
    }
    EXPECT_EQ(broken.Line(), 3);
}

}  // namespace
