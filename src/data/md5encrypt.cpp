#include "data/md5encrypt.h"

#include <QCryptographicHash>

#include "data/gbk.h"

QString CMD5Encrypt::DigestText(const QString& text) {
    const QByteArray digest = QCryptographicHash::hash(ToGbk(text), QCryptographicHash::Md5);
    return QString::fromLatin1(digest.toHex().toUpper());
}
