#include "data/md5encrypt.h"

#include <QCryptographicHash>

#include "data/gbk.h"

QString CMD5Encrypt::DigestText(const QString& text) {
    // One hasher per thread and the hex written straight into the result: the score
    // query digests every scored row.
    thread_local QCryptographicHash hash(QCryptographicHash::Md5);
    hash.reset();
    hash.addData(ToGbk(text));
    const QByteArrayView digest = hash.resultView();
    static const char16_t kHex[] = u"0123456789ABCDEF";
    QString hex(digest.size() * 2, Qt::Uninitialized);
    QChar* out = hex.data();
    for (const char byte : digest) {
        *out++ = QChar(kHex[(uchar(byte) >> 4) & 0xF]);
        *out++ = QChar(kHex[uchar(byte) & 0xF]);
    }
    return hex;
}
