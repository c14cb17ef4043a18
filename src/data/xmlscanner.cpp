#include "data/xmlscanner.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace {

// What a byte can be in the places the scanner looks at, one bit each.
enum ByteClass : unsigned char {
    kNameStart = 1,
    kPlainNameChar = 2,  // in a name, the colon of a prefix left out
    kSpace = 4,
    kTextStop = 8,    // ends a plain run of text: < & \r ]
    kValueStop = 16,  // ends a plain run of an attribute value: < & \t \n \r
    kDoubleQuote = 32,
    kSingleQuote = 64,
};

struct ByteClasses {
    unsigned char of[256] = {};
    constexpr ByteClasses() {
        for (int c = 0; c < 256; ++c) {
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            if (letter || c == '_' || c >= 0x80) of[c] |= kNameStart | kPlainNameChar;
            if ((c >= '0' && c <= '9') || c == '-' || c == '.') of[c] |= kPlainNameChar;
        }
        for (const char c : {' ', '\t', '\n', '\r'}) of[int(c)] |= kSpace;
        for (const char c : {'<', '&', '\r', ']'}) of[int(c)] |= kTextStop;
        for (const char c : {'<', '&', '\t', '\n', '\r'}) of[int(c)] |= kValueStop;
        of[int('"')] |= kDoubleQuote;
        of[int('\'')] |= kSingleQuote;
    }
};
constexpr ByteClasses kClasses;

bool Is(char c, unsigned char classes) {
    return kClasses.of[static_cast<unsigned char>(c)] & classes;
}

bool IsSpace(char c) {
    return Is(c, kSpace);
}

// Names are short: a plain loop beats a call to memcmp.
bool Same(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

bool IsXmlCharacter(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Whether the bytes are UTF-8 of XML characters only. Eight plain ASCII bytes at a time
// where it can, as most of a workbook's markup is.
bool ValidCharacters(const char* p, const char* end) {
    constexpr quint64 kSpaces = 0x2020202020202020ULL, kHighBits = 0x8080808080808080ULL;
    while (p < end) {
        if (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if ((((word - kSpaces) | word) & kHighBits) == 0) {
                p += 8;
                continue;
            }
        }
        const auto c = static_cast<unsigned char>(*p);
        if (c < 0x80) {
            if (c < 0x20 && !IsSpace(char(c))) return false;
            ++p;
            continue;
        }
        int length = 0;
        char32_t code = 0, least = 0;
        if (c >= 0xC2 && c <= 0xDF)
            length = 2, code = c & 0x1F, least = 0x80;
        else if (c >= 0xE0 && c <= 0xEF)
            length = 3, code = c & 0x0F, least = 0x800;
        else if (c >= 0xF0 && c <= 0xF4)
            length = 4, code = c & 0x07, least = 0x10000;
        else
            return false;
        if (end - p < length) return false;
        for (int i = 1; i < length; ++i) {
            if (!IsContinuation(static_cast<unsigned char>(p[i]))) return false;
            code = (code << 6) | (static_cast<unsigned char>(p[i]) & 0x3F);
        }
        if (code < least || !IsXmlCharacter(code)) return false;  // overlong, surrogate, ...
        p += length;
    }
    return true;
}

void AppendUtf8(char32_t c, QByteArray* out) {
    if (c < 0x80) {
        out->append(char(c));
    } else if (c < 0x800) {
        out->append(char(0xC0 | (c >> 6)));
        out->append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->append(char(0xE0 | (c >> 12)));
        out->append(char(0x80 | ((c >> 6) & 0x3F)));
        out->append(char(0x80 | (c & 0x3F)));
    } else {
        out->append(char(0xF0 | (c >> 18)));
        out->append(char(0x80 | ((c >> 12) & 0x3F)));
        out->append(char(0x80 | ((c >> 6) & 0x3F)));
        out->append(char(0x80 | (c & 0x3F)));
    }
}

// The reference starting at p (at its '&'): where it ends (after the ';') and the
// character it stands for, or null when it is no reference XML knows.
const char* ReadReference(const char* p, const char* end, char32_t* character) {
    const char* semicolon = static_cast<const char*>(std::memchr(p, ';', size_t(end - p)));
    if (!semicolon) return nullptr;
    const QByteArrayView body(p + 1, semicolon - p - 1);
    if (body.startsWith('#')) {
        const bool hex = body.size() > 1 && body[1] == 'x';
        QByteArrayView digits = body.sliced(hex ? 2 : 1);
        if (digits.isEmpty()) return nullptr;
        while (digits.size() > 1 && digits.front() == '0') digits = digits.sliced(1);
        if (digits.size() > 8) return nullptr;  // beyond every character
        char32_t value = 0;
        for (const char d : digits) {
            int digit;
            if (d >= '0' && d <= '9')
                digit = d - '0';
            else if (hex && d >= 'a' && d <= 'f')
                digit = d - 'a' + 10;
            else if (hex && d >= 'A' && d <= 'F')
                digit = d - 'A' + 10;
            else
                return nullptr;
            value = value * (hex ? 16 : 10) + char32_t(digit);
        }
        if (!IsXmlCharacter(value)) return nullptr;
        *character = value;
    } else if (body == "lt") {
        *character = '<';
    } else if (body == "gt") {
        *character = '>';
    } else if (body == "amp") {
        *character = '&';
    } else if (body == "quot") {
        *character = '"';
    } else if (body == "apos") {
        *character = '\'';
    } else {
        return nullptr;
    }
    return semicolon + 1;
}

// Copies raw text or an attribute value as a parser hands it on: "\r\n" and a lone
// "\r" become "\n" (in attribute values, every white space character a space), and
// references their characters. The references were checked while scanning.
void AppendDecoded(QByteArrayView raw, bool references, bool attribute, QByteArray* out) {
    const char* p = raw.data();
    const char* end = p + raw.size();
    while (p < end) {
        const char c = *p;
        if (c == '&' && references) {
            char32_t character = 0;
            const char* next = ReadReference(p, end, &character);
            if (!next) return;  // cannot happen: scanned before
            AppendUtf8(character, out);
            p = next;
        } else if (c == '\r') {
            out->append(attribute ? ' ' : '\n');
            p += p + 1 < end && p[1] == '\n' ? 2 : 1;
        } else if (attribute && (c == '\n' || c == '\t')) {
            out->append(' ');
            ++p;
        } else {
            const char* run = p;
            while (p < end && *p != '&' && *p != '\r' && !(attribute && (*p == '\n' || *p == '\t')))
                ++p;
            if (p == run) ++p;  // an '&' left as it is inside CDATA
            out->append(run, p - run);
        }
    }
}

}  // namespace

XmlScanner::XmlScanner(const QByteArray& document) {
    const QByteArray* source = &document;
    const bool littleEndian = document.startsWith("\xFF\xFE");
    if (littleEndian || document.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(littleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        const QString text = decoder(QByteArrayView(document).sliced(2));
        if (decoder.hasError() || !text.isValidUtf16())
            m_problem = Problem::Malformed;
        else
            m_converted = text.toUtf8();
        source = &m_converted;
    }
    m_begin = source->constData();
    m_end = m_begin + source->size();
    m_pos = m_begin;
    if (source->startsWith("\xEF\xBB\xBF")) m_pos += 3;
    m_documentStart = m_pos;
    if (m_problem != Problem::None || !ValidCharacters(m_pos, m_end)) {
        m_problem = Problem::Malformed;
        m_problemAt = m_begin;
        m_token = Token::Invalid;
    }
}

XmlScanner::Token XmlScanner::Fail(const char* at) {
    if (m_problem == Problem::None) m_problem = Problem::Malformed;
    m_problemAt = std::min(at, m_end);
    return m_token = Token::Invalid;
}

int XmlScanner::Line() const {
    const char* at = m_problemAt ? m_problemAt : m_pos;
    return 1 + int(std::count(m_begin, at, '\n'));
}

XmlScanner::Token XmlScanner::Next() {
    if (m_token == Token::Invalid || m_token == Token::EndDocument) return m_token;
    if (m_emptyElement) {
        m_emptyElement = false;
        m_open.pop_back();
        m_rootClosed = m_open.empty();
        return m_token = Token::EndElement;
    }
    for (;;) {
        if (m_pos == m_end) {
            if (!m_rootClosed) return Fail(m_end);
            return m_token = Token::EndDocument;
        }
        if (*m_pos != '<') {
            if (!m_open.empty()) return ScanText();
            // Outside the root only white space.
            while (m_pos < m_end && IsSpace(*m_pos)) ++m_pos;
            if (m_pos < m_end && *m_pos != '<') return Fail(m_pos);
            continue;
        }
        if (m_end - m_pos < 2) return Fail(m_pos);
        const char kind = m_pos[1];
        if (kind == '/') return ScanEndTag();
        if (kind == '?') {
            if (!SkipProcessingInstruction()) return Fail(m_pos);
            continue;
        }
        if (kind == '!') {
            const QByteArrayView rest(m_pos, m_end - m_pos);
            if (rest.startsWith("<!--")) {
                if (!SkipComment()) return Fail(m_pos);
                continue;
            }
            if (rest.startsWith("<![CDATA[") && !m_open.empty()) return ScanCdata();
            if (rest.startsWith("<!DOCTYPE")) {
                m_problem = Problem::DocumentType;
                return Fail(m_pos);
            }
            return Fail(m_pos);
        }
        return ScanStartTag();
    }
}

const char* XmlScanner::NameEnd(const char* p, const char** localStart) const {
    if (p >= m_end || !Is(*p, kNameStart)) return nullptr;
    *localStart = p;
    while (++p < m_end && Is(*p, kPlainNameChar)) {
    }
    if (p == m_end || *p != ':') return p;
    // One prefix at most, and a local part after it.
    if (p + 1 == m_end || !Is(p[1], kNameStart)) return nullptr;
    *localStart = ++p;
    while (++p < m_end && Is(*p, kPlainNameChar)) {
    }
    return p < m_end && *p == ':' ? nullptr : p;
}

XmlScanner::Token XmlScanner::ScanStartTag() {
    if (m_rootClosed) return Fail(m_pos);
    const char* p = m_pos + 1;
    const char* localStart;
    const char* nameEnd = NameEnd(p, &localStart);
    if (!nameEnd) return Fail(p);
    const QByteArrayView qualifiedName(p, nameEnd - p);
    const QByteArrayView localName(localStart, nameEnd - localStart);
    p = nameEnd;
    m_attributes.clear();
    for (;;) {
        const char* beforeSpace = p;
        while (p < m_end && IsSpace(*p)) ++p;
        if (p == m_end) return Fail(p);
        if (*p == '>' || *p == '/') {
            if (*p == '/' && (p + 1 == m_end || p[1] != '>')) return Fail(p);
            m_emptyElement = *p == '/';
            p += m_emptyElement ? 2 : 1;
            break;
        }
        if (p == beforeSpace) return Fail(p);  // attributes stand apart
        const char* attributeLocal;
        const char* attributeEnd = NameEnd(p, &attributeLocal);
        if (!attributeEnd) return Fail(p);
        const QByteArrayView attributeName(p, attributeEnd - p);
        p = attributeEnd;
        while (p < m_end && IsSpace(*p)) ++p;
        if (p == m_end || *p != '=') return Fail(p);
        ++p;
        while (p < m_end && IsSpace(*p)) ++p;
        if (p == m_end || (*p != '"' && *p != '\'')) return Fail(p);
        const unsigned char stops = kValueStop | (*p == '"' ? kDoubleQuote : kSingleQuote);
        const char quote = *p++;
        const char* valueStart = p;
        bool plain = true;
        while (p < m_end) {
            while (p < m_end && !Is(*p, stops)) ++p;
            if (p == m_end || *p == quote) break;
            const char c = *p;
            if (c == '<') return Fail(p);
            if (c == '&') {
                char32_t character;
                const char* next = ReadReference(p, m_end, &character);
                if (!next) return Fail(p);
                plain = false;
                p = next;
                continue;
            }
            if (c == '\t' || c == '\n' || c == '\r') plain = false;
            ++p;
        }
        if (p == m_end) return Fail(p);
        m_attributes.push_back({attributeName, QByteArrayView(valueStart, p - valueStart), plain});
        ++p;
    }
    if (m_attributes.size() > 1 && !UniqueAttributes()) return Fail(m_pos);
    if (int(m_open.size()) >= kDepthLimit) return Fail(m_pos);
    m_open.push_back(qualifiedName);
    m_name = localName;
    m_pos = p;
    return m_token = Token::StartElement;
}

bool XmlScanner::UniqueAttributes() const {
    const size_t count = m_attributes.size();
    if (count <= 8) {
        for (size_t i = 0; i < count; ++i)
            for (size_t j = i + 1; j < count; ++j)
                if (Same(m_attributes[i].name, m_attributes[j].name)) return false;
        return true;
    }
    std::vector<QByteArrayView> names;
    names.reserve(count);
    for (const RawAttribute& attribute : m_attributes) names.push_back(attribute.name);
    std::sort(names.begin(), names.end());
    return std::adjacent_find(names.begin(), names.end()) == names.end();
}

XmlScanner::Token XmlScanner::ScanEndTag() {
    const char* p = m_pos + 2;
    const char* localStart;
    const char* nameEnd = NameEnd(p, &localStart);
    if (!nameEnd) return Fail(p);
    const QByteArrayView qualifiedName(p, nameEnd - p);
    p = nameEnd;
    while (p < m_end && IsSpace(*p)) ++p;
    if (p == m_end || *p != '>') return Fail(p);
    if (m_open.empty() || !Same(m_open.back(), qualifiedName)) return Fail(m_pos);
    m_open.pop_back();
    m_rootClosed = m_open.empty();
    m_name = QByteArrayView(localStart, nameEnd - localStart);
    m_pos = p + 1;
    return m_token = Token::EndElement;
}

XmlScanner::Token XmlScanner::ScanText() {
    const char* p = m_pos;
    bool plain = true;
    while (p < m_end) {
        while (p < m_end && !Is(*p, kTextStop)) ++p;
        if (p == m_end) break;
        const char c = *p;
        if (c == '<') break;
        if (c == '&') {
            char32_t character;
            const char* next = ReadReference(p, m_end, &character);
            if (!next) return Fail(p);
            plain = false;
            p = next;
            continue;
        }
        if (c == '\r') {
            plain = false;
        } else if (c == ']' && m_end - p >= 3 && p[1] == ']' && p[2] == '>') {
            return Fail(p);
        }
        ++p;
    }
    if (p == m_end) return Fail(p);  // the root is still open
    m_text = QByteArrayView(m_pos, p - m_pos);
    m_textPlain = plain;
    m_textCdata = false;
    m_pos = p;
    return m_token = Token::Text;
}

XmlScanner::Token XmlScanner::ScanCdata() {
    const char* start = m_pos + 9;  // after "<![CDATA["
    const qsizetype close = QByteArrayView(start, m_end - start).indexOf("]]>");
    if (close < 0) return Fail(m_pos);
    m_text = QByteArrayView(start, close);
    m_textPlain = !m_text.contains('\r');
    m_textCdata = true;
    m_pos = start + close + 3;
    return m_token = Token::Text;
}

bool XmlScanner::SkipComment() {
    // "--" may appear only as the comment's end.
    const char* body = m_pos + 4;
    const qsizetype dashes = QByteArrayView(body, m_end - body).indexOf("--");
    if (dashes < 0 || body + dashes + 2 >= m_end || body[dashes + 2] != '>') return false;
    m_pos = body + dashes + 3;
    return true;
}

bool XmlScanner::SkipProcessingInstruction() {
    const char* target = m_pos + 2;
    const char* localStart;
    const char* targetEnd = NameEnd(target, &localStart);
    if (!targetEnd) return false;
    const QByteArrayView name(target, targetEnd - target);
    if (targetEnd < m_end && !IsSpace(*targetEnd) && *targetEnd != '?') return false;
    // The XML declaration comes first or not at all.
    if (name.compare("xml", Qt::CaseInsensitive) == 0 && m_pos != m_documentStart) return false;
    const qsizetype close = QByteArrayView(targetEnd, m_end - targetEnd).indexOf("?>");
    if (close < 0) return false;
    m_pos = targetEnd + close + 2;
    return true;
}

QByteArrayView XmlScanner::Attribute(QByteArrayView name, QByteArray* scratch) const {
    for (const RawAttribute& attribute : m_attributes) {
        if (!Same(attribute.name, name)) continue;
        if (attribute.plain) return attribute.value;
        scratch->clear();
        AppendDecoded(attribute.value, true, true, scratch);
        return *scratch;
    }
    return {};
}

void XmlScanner::AppendText(QByteArray* utf8) const {
    if (m_textPlain)
        utf8->append(m_text.data(), m_text.size());
    else
        AppendDecoded(m_text, !m_textCdata, false, utf8);
}
