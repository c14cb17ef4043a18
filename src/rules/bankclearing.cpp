#include "rules/bankclearing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include "data/adoconn.h"
#include "data/intransaction.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "rules/questionbank.h"

namespace bank_clearing {
namespace {

// Picture files of the program's naming (<type><ID>.bmp) that no question names any more:
// a clearing ended between its commit and the removal of its files leaves them behind.
int RemoveOrphanPictures() {
    CADOConn conn;
    QSet<QString> named;
    for (const QString& type : qtype::Names())
        conn.ForEachRow("select 图片 from " + type + " where 图片 is not null",
                        schema::kQuestionsFile, {},
                        [&named](const CRowReader& row) { named.insert(row.Text("图片")); });
    static const QRegularExpression ours("^(" + qtype::Names().join('|') +
                                         QStringLiteral(")\\d+\\.bmp$"));
    const QDir folder = QFileInfo(bank::PicturePath(QStringLiteral("x"))).dir();
    int removed = 0;
    for (const QString& name : folder.entryList(QDir::Files))
        if (ours.match(name).hasMatch() && !named.contains(QFileInfo(name).completeBaseName()) &&
            QFile::remove(folder.filePath(name)))
            ++removed;
    return removed;
}

Outcome ClearTable(const QString& type) {
    Outcome outcome;
    if (!qtype::Names().contains(type)) {
        outcome.error = QStringLiteral("未知的题型“%1”").arg(type);
        return outcome;
    }
    const QString file = schema::kQuestionsFile;
    QStringList pictures;
    try {
        outcome.wasEmpty = InTransaction(file, [&](CADOConn& conn) {
            pictures.clear();
            if (conn.CountRows(type, file) == 0) return true;
            auto withPicture =
                conn.OpenRecordset("select 图片 from " + type + " where 图片 is not null", file);
            for (; !withPicture->IsEOF(); withPicture->MoveNext()) {
                const QString name = withPicture->GetText("图片");
                // A name that leaves the picture folder is no picture of the bank.
                if (!name.isEmpty() && !name.contains(QLatin1Char('/')) &&
                    !name.contains(QLatin1Char('\\')))
                    pictures << name;
            }
            conn.ExecuteStatement("delete from " + type, file);
            return false;
        });
    } catch (const DatabaseError& e) {
        outcome.error = QString::fromUtf8(e.what());
        return outcome;
    }
    if (outcome.wasEmpty) return outcome;
    outcome.cleared = true;
    for (const QString& name : pictures)
        if (QFile::remove(bank::PicturePath(name))) ++outcome.picturesDeleted;
    return outcome;
}

}  // namespace

Outcome ClearBank(const QString& type) {
    Outcome outcome = ClearTable(type);
    if (outcome.error.isEmpty()) {
        try {
            outcome.picturesDeleted += RemoveOrphanPictures();
        } catch (const DatabaseError&) {
            // The bank is as reported; the files wait for the next clearing.
        }
    }
    return outcome;
}

QString EmptyMessage(const QString& type) {
    return type + QStringLiteral("题库已为空");
}

QString ClearedMessage(const QString& type) {
    return type + QStringLiteral("题库已清空");
}

}  // namespace bank_clearing
