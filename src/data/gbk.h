#pragma once

#include <QByteArray>
#include <QString>

// The data files and the settings file hold Chinese text in the GBK code page. GB18030
// is GBK's superset: identical bytes for every GBK character, and defined for every
// other character too, so text outside GBK never fails or changes between writer and
// reader.
QByteArray ToGbk(const QString& text);
QString FromGbk(const QByteArray& bytes);
