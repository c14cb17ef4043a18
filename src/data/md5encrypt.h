#pragma once

#include <QString>

class CMD5Encrypt {
public:
    // 32 upper-case hexadecimal digits of the MD5 of the text's GBK (GB18030) bytes.
    static QString DigestText(const QString& text);
};
