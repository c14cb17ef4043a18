#include "data/profile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <climits>

#include "data/gbk.h"

namespace profile {
namespace {

// Where the characters of Chinese text lie: CJK ideographs with their extensions and
// compatibility forms, CJK symbols and punctuation, general punctuation (quotes, dashes,
// ellipsis) and full-width forms.
bool UsedInChineseText(char32_t c) {
    return (c >= 0x2000 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

// Many GBK texts are valid UTF-8 too (学院 is the bytes of "ѧԺ", 岚多方 those of two
// rare three-byte characters), so validity alone decides nothing. A file counts as UTF-8
// only when it is valid and every character beyond ASCII is one Chinese text uses.
bool LooksLikeUtf8(const QByteArray& bytes) {
    const auto byte = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    for (qsizetype i = 0; i < bytes.size();) {
        const unsigned char lead = byte(i);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const int length = (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        char32_t c = lead & (length == 3 ? 0x0F : 0x07);
        for (int k = 1; k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80) return false;
            c = (c << 6) | (byte(i + k) & 0x3F);
        }
        // Overlong forms are not UTF-8; the ranges hold no surrogate.
        if (!UsedInChineseText(c)) return false;
        i += length;
    }
    return true;
}

QStringList ReadLines(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QByteArray bytes = f.readAll();
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        text = QString::fromUtf8(bytes.mid(3));
    else
        text = LooksLikeUtf8(bytes) ? QString::fromUtf8(bytes) : FromGbk(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// The name of a "[section]" line, or nothing for any other line.
std::optional<QString> SectionOf(const QString& line) {
    const QString t = line.trimmed();
    if (t.startsWith('[')) {
        const int close = t.indexOf(']');
        if (close > 0) return t.mid(1, close - 1).trimmed();
    }
    return std::nullopt;
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Line index of the key in the section (after the header at sectionLine), or -1.
int FindKey(const QStringList& lines, int sectionLine, const QString& key, int* sectionEnd) {
    int i = sectionLine + 1;
    int found = -1;
    for (; i < lines.size() && !SectionOf(lines[i]); ++i) {
        const int eq = lines[i].indexOf('=');
        if (found < 0 && eq > 0 && SameName(lines[i].left(eq).trimmed(), key)) found = i;
    }
    if (sectionEnd) *sectionEnd = i;
    return found;
}

int FindSection(const QStringList& lines, const QString& section) {
    for (int i = 0; i < lines.size(); ++i) {
        const auto name = SectionOf(lines[i]);
        if (name && SameName(*name, section)) return i;
    }
    return -1;
}

std::optional<QString> Lookup(const QString& section, const QString& key, const QString& file) {
    const QStringList lines = ReadLines(file);
    const int sectionLine = FindSection(lines, section);
    if (sectionLine < 0) return std::nullopt;
    const int keyLine = FindKey(lines, sectionLine, key, nullptr);
    if (keyLine < 0) return std::nullopt;
    QString value = lines[keyLine].mid(lines[keyLine].indexOf('=') + 1).trimmed();
    if (value.size() >= 2 && ((value.startsWith('"') && value.endsWith('"')) ||
                              (value.startsWith('\'') && value.endsWith('\''))))
        value = value.mid(1, value.size() - 2);
    return value;
}

// Cuts a value to what fits the readers' buffer, at a character boundary.
QString CutToBuffer(const QString& value) {
    if (ToGbk(value).size() <= kMaxValueBytes) return value;
    QString cut;
    int bytes = 0;
    for (int i = 0; i < value.size(); ++i) {
        const int len = value[i].isHighSurrogate() && i + 1 < value.size() ? 2 : 1;
        const int charBytes = int(ToGbk(value.mid(i, len)).size());
        if (bytes + charBytes > kMaxValueBytes) break;
        bytes += charBytes;
        cut += value.mid(i, len);
        i += len - 1;
    }
    return cut;
}

}  // namespace

QString GetString(const QString& section, const QString& key, const QString& defaultValue,
                  const QString& file) {
    return CutToBuffer(Lookup(section, key, file).value_or(defaultValue));
}

int GetInt(const QString& section, const QString& key, int defaultValue, const QString& file) {
    const auto value = Lookup(section, key, file);
    if (!value) return defaultValue;
    int i = 0;
    bool negative = false;
    if (i < value->size() && ((*value)[i] == '-' || (*value)[i] == '+')) {
        negative = (*value)[i] == '-';
        ++i;
    }
    qint64 number = 0;
    for (; i < value->size() && (*value)[i].isDigit() && (*value)[i].unicode() < 128; ++i)
        number = qMin<qint64>(number * 10 + ((*value)[i].unicode() - '0'), INT_MAX);
    return int(negative ? -number : number);
}

bool WriteString(const QString& section, const std::optional<QString>& key,
                 const std::optional<QString>& value, const QString& file) {
    QStringList lines = ReadLines(file);
    int sectionLine = FindSection(lines, section);
    if (!key) {
        if (sectionLine < 0) return true;
        int end = sectionLine + 1;
        while (end < lines.size() && !SectionOf(lines[end])) ++end;
        lines.erase(lines.begin() + sectionLine, lines.begin() + end);
    } else if (!value) {
        if (sectionLine < 0) return true;
        // A hand-edited file may hold the key more than once; none may survive.
        int keyLine = FindKey(lines, sectionLine, *key, nullptr);
        if (keyLine < 0) return true;
        for (; keyLine >= 0; keyLine = FindKey(lines, sectionLine, *key, nullptr))
            lines.removeAt(keyLine);
    } else {
        const QString entry = *key + '=' + *value;
        if (sectionLine < 0) {
            lines << '[' + section + ']' << entry;
        } else {
            int sectionEnd = 0;
            const int keyLine = FindKey(lines, sectionLine, *key, &sectionEnd);
            if (keyLine >= 0) {
                lines[keyLine] = entry;
            } else {
                int insertAt = sectionEnd;
                while (insertAt > sectionLine + 1 && lines[insertAt - 1].trimmed().isEmpty())
                    --insertAt;
                lines.insert(insertAt, entry);
            }
        }
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return false;
    QString text = lines.join(QLatin1String("\r\n"));
    if (!lines.isEmpty()) text += QLatin1String("\r\n");
    out.write(ToGbk(text));
    return out.commit();
}

}  // namespace profile
