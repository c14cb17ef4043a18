// Every input straight to the XML scanner of the large workbook parts, with every value
// it can hand out taken. A scan that does not end within one step a byte is a fault.
#include <QByteArray>
#include <cstdlib>

#include "data/xmlscanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray document(reinterpret_cast<const char*>(data), qsizetype(size));
    XmlScanner xml(document);
    QByteArray text, scratch;
    for (size_t steps = 0;; ++steps) {
        if (steps > size + 2) std::abort();
        switch (xml.Next()) {
            case XmlScanner::Token::StartElement:
                for (const char* name : {"r", "t", "s", "x:id"}) xml.Attribute(name, &scratch);
                break;
            case XmlScanner::Token::Text:
                xml.AppendText(&text);
                break;
            case XmlScanner::Token::EndElement:
                break;
            case XmlScanner::Token::EndDocument:
                return 0;
            case XmlScanner::Token::Invalid:
                xml.Line();
                return 0;
        }
    }
}
