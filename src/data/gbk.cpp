#include "data/gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

// One converter per thread: opening a converter costs more than converting a short
// text, and save codes convert one text per checked row.
QByteArray ToGbk(const QString& text) {
    thread_local QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QString FromGbk(const QByteArray& bytes) {
    thread_local QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}
