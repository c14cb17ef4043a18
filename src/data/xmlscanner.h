#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <algorithm>
#include <vector>

// A pull scanner over an XML document held in memory, for the large parts of a workbook
// (shared strings, sheets), which QXmlStreamReader reads at a few tens of MB/s because it
// turns every byte into UTF-16. This one walks the UTF-8 bytes and hands out views of
// them; only the values a caller keeps are decoded.
//
// It refuses what QXmlStreamReader refuses in such parts: bytes that are not UTF-8 or not
// XML characters, unknown entities, invalid character references, mismatched or unclosed
// tags, repeated attributes, '<' in attribute values, "]]>" in text, content outside the
// one root element, an XML declaration past the start. Namespaces are not resolved:
// Name() is the local part of the element's name and attributes are looked up by the
// name as written. A document type declaration ends the scan (Problem::DocumentType):
// the parts of a workbook never have one, and entity expansion would live there.
// Documents in UTF-16 with a byte order mark are converted to UTF-8 first.
//
// Every step looks at bytes inside the document only, and every step moves forward, so
// a damaged document ends in Token::Invalid, never past its end or in a loop.
class XmlScanner {
public:
    enum class Token { StartElement, EndElement, Text, EndDocument, Invalid };
    enum class Problem { None, Malformed, DocumentType };

    static constexpr int kDepthLimit = 1024;  // open elements at once

    // The document must outlive the scanner.
    explicit XmlScanner(const QByteArray& document);

    // The next element boundary or run of text; after EndDocument or Invalid, the same
    // again. An empty element (<a/>) gives StartElement and then EndElement.
    Token Next();

    // The local name of the element just started or ended.
    QByteArrayView Name() const { return m_name; }
    bool NameIs(QByteArrayView name) const {
        return m_name.size() == name.size() && std::equal(name.begin(), name.end(), m_name.begin());
    }

    // The value of an attribute of the element just started, by its name as written,
    // with references replaced and white space normalised; empty when there is none.
    // The view points into the document or into *scratch.
    QByteArrayView Attribute(QByteArrayView name, QByteArray* scratch) const;

    // Appends the run of text just read, references replaced and line ends made "\n", as
    // UTF-8.
    void AppendText(QByteArray* utf8) const;

    Problem problem() const { return m_problem; }
    // The line, counted from 1, where the scan stopped.
    int Line() const;

private:
    struct RawAttribute {
        QByteArrayView name;
        QByteArrayView value;  // as written, between the quotes
        bool plain;            // no reference, no white space to normalise
    };

    Token Fail(const char* at);
    Token ScanStartTag();
    Token ScanEndTag();
    Token ScanText();
    Token ScanCdata();
    bool SkipComment();
    bool SkipProcessingInstruction();
    // The end of the name starting at p, or null when no name starts there; *localStart
    // where it goes on after its prefix.
    const char* NameEnd(const char* p, const char** localStart) const;
    bool UniqueAttributes() const;

    QByteArray m_converted;  // the document in UTF-8 when it came in UTF-16
    const char* m_begin;
    const char* m_end;
    const char* m_pos;
    const char* m_documentStart;  // after a byte order mark
    Token m_token = Token::Text;
    Problem m_problem = Problem::None;
    const char* m_problemAt = nullptr;

    QByteArrayView m_name;
    std::vector<QByteArrayView> m_open;  // the names of the open elements, as written
    std::vector<RawAttribute> m_attributes;
    bool m_emptyElement = false;  // the element just started ends at once
    bool m_rootClosed = false;

    QByteArrayView m_text;
    bool m_textPlain = true;
    bool m_textCdata = false;
};
