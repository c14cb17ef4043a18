#include "rules/bankclearing.h"

#include <QFile>
#include <QStringList>

#include "data/adoconn.h"
#include "data/schema.h"
#include "rules/questionbank.h"

namespace bank_clearing {

Outcome ClearBank(const QString& type) {
    Outcome outcome;
    if (!schema::QuestionTypes().contains(type)) {
        outcome.error = QStringLiteral("未知的题型“%1”").arg(type);
        return outcome;
    }
    const QString file = schema::kQuestionsFile;
    CADOConn conn;
    if (!conn.OpenDatabase(file)) {
        outcome.error = conn.LastError();
        return outcome;
    }
    QStringList pictures;
    try {
        CTransaction transaction(conn);
        if (conn.CountRows(type, file) == 0) {
            outcome.wasEmpty = true;
            return outcome;
        }
        auto withPicture =
            conn.OpenRecordset("select 图片 from " + type + " where 图片 is not null", file);
        for (; !withPicture->IsEOF(); withPicture->MoveNext()) {
            const QString name = withPicture->GetText("图片");
            // A name that leaves the picture folder is no picture of the bank.
            if (!name.isEmpty() && !name.contains(QLatin1Char('/')) &&
                !name.contains(QLatin1Char('\\')))
                pictures << name;
        }
        if (!conn.ExecuteStatement("delete from " + type, file) || !transaction.Commit()) {
            outcome.error = conn.LastError();
            return outcome;
        }
    } catch (const DatabaseError& e) {
        outcome.error = QString::fromUtf8(e.what());
        return outcome;
    }
    outcome.cleared = true;
    for (const QString& name : pictures)
        if (QFile::remove(bank::PicturePath(name))) ++outcome.picturesDeleted;
    return outcome;
}

QString EmptyMessage(const QString& type) {
    return type + QStringLiteral("题库已为空");
}

QString ClearedMessage(const QString& type) {
    return type + QStringLiteral("题库已清空");
}

}  // namespace bank_clearing
