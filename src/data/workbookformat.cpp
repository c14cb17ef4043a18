#include "data/workbookformat.h"

#include <QFile>
#include <QtEndian>
#include <vector>

namespace {

const QByteArray kCompoundMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
const QByteArray kZipMagic("PK\x03\x04", 4);
constexpr quint32 kLastRegularSector = 0xFFFFFFFA;  // higher numbers mark chain ends
constexpr int kDirectoryEntrySize = 128;
constexpr int kHeaderFatEntries = 109;

quint32 Read32(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// The directory of a compound file, walked along its sector chain. Every step is
// bounded by the file's size, so a looping or truncated chain ends the walk.
class CompoundFile {
public:
    explicit CompoundFile(QFile* file) : m_file(file) {}

    bool HasStream(const QString& name) {
        const QByteArray header = m_file->read(512);
        if (header.size() < 512) return false;
        const quint16 shift = qFromLittleEndian<quint16>(header.constData() + 0x1E);
        if (shift != 9 && shift != 12) return false;
        m_sectorSize = 1 << shift;
        m_sectorCount = quint32(m_file->size() / m_sectorSize);
        if (!LoadFat(header)) return false;

        quint32 sector = Read32(header, 0x30);
        for (quint32 steps = 0; sector <= kLastRegularSector && steps < m_sectorCount; ++steps) {
            const QByteArray entries = Sector(sector);
            if (entries.isEmpty()) return false;
            for (int offset = 0; offset + kDirectoryEntrySize <= entries.size();
                 offset += kDirectoryEntrySize)
                if (EntryName(entries, offset) == name) return true;
            sector = sector < m_fat.size() ? m_fat[sector] : kLastRegularSector + 1;
        }
        return false;
    }

private:
    QByteArray Sector(quint32 number) {
        if (number >= m_sectorCount || !m_file->seek(qint64(number + 1) * m_sectorSize))
            return QByteArray();
        QByteArray bytes = m_file->read(m_sectorSize);
        return bytes.size() == m_sectorSize ? bytes : QByteArray();
    }

    // The FAT sectors are listed first in the header, then along the DIFAT chain.
    bool LoadFat(const QByteArray& header) {
        const quint32 fatSectors = std::min(Read32(header, 0x2C), m_sectorCount);
        std::vector<quint32> list;
        for (int i = 0; i < kHeaderFatEntries && list.size() < fatSectors; ++i)
            list.push_back(Read32(header, 0x4C + 4 * i));
        quint32 difat = Read32(header, 0x44);
        for (quint32 steps = 0;
             list.size() < fatSectors && difat <= kLastRegularSector && steps < m_sectorCount;
             ++steps) {
            const QByteArray bytes = Sector(difat);
            if (bytes.isEmpty()) return false;
            const int perSector = m_sectorSize / 4 - 1;
            for (int i = 0; i < perSector && list.size() < fatSectors; ++i)
                list.push_back(Read32(bytes, 4 * i));
            difat = Read32(bytes, 4 * perSector);
        }
        for (quint32 number : list) {
            const QByteArray bytes = Sector(number);
            if (bytes.isEmpty()) return false;
            for (int i = 0; i < m_sectorSize / 4; ++i) m_fat.push_back(Read32(bytes, 4 * i));
        }
        return true;
    }

    static QString EntryName(const QByteArray& entries, int offset) {
        const quint16 bytes = qFromLittleEndian<quint16>(entries.constData() + offset + 0x40);
        if (bytes < 2 || bytes > 64) return QString();
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(entries.constData() + offset),
                                  bytes / 2 - 1);
    }

    QFile* m_file;
    int m_sectorSize = 512;
    quint32 m_sectorCount = 0;
    std::vector<quint32> m_fat;
};

}  // namespace

WorkbookFormat DetectWorkbookFormat(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return WorkbookFormat::Other;
    const QByteArray magic = file.read(8);
    if (magic.startsWith(kZipMagic)) return WorkbookFormat::Xlsx;
    if (magic != kCompoundMagic || !file.seek(0)) return WorkbookFormat::Other;
    // Excel keeps a password-protected .xlsx as an encrypted package inside a compound
    // file, so it looks like an .xls until its streams are listed.
    return CompoundFile(&file).HasStream(QStringLiteral("EncryptedPackage"))
               ? WorkbookFormat::EncryptedXlsx
               : WorkbookFormat::Xls;
}
