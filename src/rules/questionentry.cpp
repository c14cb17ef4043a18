#include "rules/questionentry.h"

#include <QDir>
#include <QFile>
#include <utility>

#include "data/adoconn.h"
#include "data/intransaction.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "rules/questionbank.h"

namespace entry {
namespace {

const QStringList kOptionColumns = {"A", "B", "C", "D", "E"};
constexpr int kRequiredOptions = 3;  // A, B and C

bool IsChoice(const QString& type) {
    return qtype::Is(type, QuestionType::Single) || qtype::Is(type, QuestionType::Multiple);
}
bool IsTrueFalse(const QString& type) {
    return qtype::Is(type, QuestionType::TrueFalse);
}

QString Option(const Draft& draft, int i) {
    return i < draft.options.size() ? draft.options[i] : QString();
}

}  // namespace

Refusal Check(const Draft& d) {
    if (d.type.isEmpty()) return Refusal::NoType;
    const bool chosen = !d.subject.isEmpty() && !d.group.isEmpty() && !d.difficulty.isEmpty();
    if (IsChoice(d.type)) {
        if (d.stem.isEmpty() || Option(d, 0).isEmpty() || Option(d, 1).isEmpty() ||
            Option(d, 2).isEmpty() || d.answerText.isEmpty() || !chosen)
            return Refusal::EmptyFields;
    } else if (IsTrueFalse(d.type)) {
        if (d.stem.isEmpty() || d.trueFalse.isEmpty() || !chosen) return Refusal::EmptyChoices;
    } else if (d.stem.isEmpty() || d.answerText.isEmpty() || !chosen) {
        return Refusal::EmptyFields;
    }
    if (d.answerText.contains(' ') && !qtype::Is(d.type, QuestionType::Essay))
        return Refusal::SpaceInAnswer;
    if (d.answerText.contains('|')) return Refusal::BarInAnswer;
    return Refusal::None;
}

QString RefusalText(Refusal refusal) {
    switch (refusal) {
        case Refusal::None:
            return QString();
        case Refusal::NoType:
            return QStringLiteral("请选择题型！");
        case Refusal::EmptyFields:
            return QStringLiteral("添加数据不能为空！");
        case Refusal::EmptyChoices:
            return QStringLiteral("数据选择不能为空！");
        case Refusal::SpaceInAnswer:
            return QStringLiteral("除问答题外的答案不能有空格存在，添加失败！");
        case Refusal::BarInAnswer:
            return QStringLiteral("题目答案中不能含有'|'，添加失败！");
    }
    return QString();
}

bool IsReminder(Refusal refusal) {
    return refusal == Refusal::NoType || refusal == Refusal::EmptyFields ||
           refusal == Refusal::EmptyChoices;
}

QList<QPair<QString, QString>> StoredColumns(const Draft& d) {
    QList<QPair<QString, QString>> columns = {{"科目", d.subject},
                                              {"题型", d.type},
                                              {"题干", d.stem},
                                              {"难度", d.difficulty},
                                              {"对象", d.group}};
    if (IsChoice(d.type)) {
        // Options D and E left empty stay null, as an import leaves them: the exam window
        // then shows no blank choice E.
        for (int i = 0; i < kOptionColumns.size(); ++i)
            if (i < kRequiredOptions || !Option(d, i).isEmpty())
                columns.append({kOptionColumns[i], Option(d, i)});
        columns.append({"答案", d.answerText});
    } else if (IsTrueFalse(d.type)) {
        columns.append({"A", QStringLiteral("正确")});
        columns.append({"B", QStringLiteral("错误")});
        columns.append({"答案", d.trueFalse});
    } else {
        columns.append({"答案", d.answerText});
    }
    return columns;
}

bool IsDuplicate(const Draft& draft) {
    if (!qtype::Names().contains(draft.type))
        throw DatabaseError(QStringLiteral("未知的题型“%1”").arg(draft.type));
    QHash<QString, QString> stored;
    for (const auto& column : StoredColumns(draft)) stored.insert(column.first, column.second);
    QString sql = "select ID from " + draft.type + " where ";
    QVariantList params;
    const QStringList compared = QStringList{"科目", "题型", "题干", "答案"} + kOptionColumns;
    for (const QString& column : compared) {
        if (!params.isEmpty()) sql += " and ";
        sql += "ifnull(" + column + ",'')=?";
        params << stored.value(column);
    }
    CADOConn conn;
    auto rs = conn.OpenRecordset(sql + " limit 1", schema::kQuestionsFile, params);
    return rs->RecordCount() > 0;
}

StoreOutcome Store(const Draft& draft, const PictureWriter& writePicture, qlonglong* id) {
    if (!qtype::Names().contains(draft.type))
        throw DatabaseError(QStringLiteral("未知的题型“%1”").arg(draft.type));
    // A picture written for a row that is then not stored goes again.
    struct WrittenPicture {
        QString path;
        bool kept = false;
        ~WrittenPicture() {
            if (!kept && !path.isEmpty()) QFile::remove(path);
        }
    } written;
    QString idText;
    const StoreOutcome outcome =
        InTransaction(schema::kQuestionsFile, [&](CADOConn& conn, CTransaction& transaction) {
            // A conflict's retry gets another key: the picture of the lost attempt goes.
            if (!written.path.isEmpty()) QFile::remove(std::exchange(written.path, QString()));
            // No rows are read: the recordset only appends.
            auto rs = conn.OpenRecordset("select * from " + draft.type + " where ID is null",
                                         schema::kQuestionsFile);
            rs->AddNew();
            for (const auto& column : StoredColumns(draft))
                rs->PutCollect(column.first, column.second);
            rs->Update();
            idText = rs->GetText("ID");
            if (writePicture) {
                const QString name = draft.type + idText;
                written.path = bank::PicturePath(name);
                if (!QDir().mkpath(QStringLiteral("QuestionMap")) || !writePicture(written.path)) {
                    transaction.Rollback();
                    return StoreOutcome::PictureNotWritten;
                }
                rs->PutCollect("图片", name);
                rs->Update();
            }
            return StoreOutcome::Stored;
        });
    if (outcome != StoreOutcome::Stored) return outcome;
    written.kept = true;
    if (id) *id = idText.toLongLong();
    return StoreOutcome::Stored;
}

bool IsPictureFile(const QString& path) {
    const int dot = path.lastIndexOf('.');
    if (dot < 0) return false;
    const QString extension = path.mid(dot + 1);
    return extension == QLatin1String("jpg") || extension == QLatin1String("jpeg") ||
           extension == QLatin1String("bmp");
}

}  // namespace entry
