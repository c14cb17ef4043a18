#include "rules/answersheet.h"

#include <QFileInfo>
#include <QLocale>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "rules/questionbank.h"
#include "rules/results.h"

namespace answersheet {

namespace {

// The sheet keeps each question's key in its bank table; the bank keeps its picture. A bank
// that cannot be read leaves the sheet without pictures rather than unreadable.
void FindPictures(std::vector<Row>& rows, const std::vector<qint64>& bankIds) {
    try {
        CADOConn bank;
        for (size_t i = 0; i < rows.size(); ++i) {
            if (bankIds[i] <= 0 || !qtype::Of(rows[i].type)) continue;
            bank.ForEachRow("select 图片 from " + rows[i].type + " where ID=?",
                            schema::kQuestionsFile, {bankIds[i]}, [&](const CRowReader& row) {
                                if (row.IsNull(0) || row.Text(0).isEmpty()) return;
                                const QFileInfo file(bank::PicturePath(row.Text(0)));
                                if (file.isFile()) rows[i].picture = file.absoluteFilePath();
                            });
        }
    } catch (const DatabaseError&) {
        for (Row& row : rows) row.picture.clear();
    }
}

}  // namespace

Sheet Load(const QString& registrationId) {
    const QString file = schema::kPersonnelFile;
    Sheet sheet;
    CADOConn conn;
    conn.ForEachRow(
        "select 姓名,部门,职务,考试名称,成绩,考试用时,考试时间 from ExamRegister "
        "where ID=?",
        file, {registrationId.toLongLong()}, [&sheet](const CRowReader& row) {
            sheet = {row.Text(0), row.Text(1), row.Text(2),
                     row.Text(3), row.Text(4), results::TimeUsedText(row.Text(5)),
                     row.Text(6), {}};
        });
    const QStringList& columns = codes::AnswerSheetColumns();
    std::vector<qint64> bankIds;
    conn.ForEachRow(
        "select " + columns.join(',') + ",保存码 from answerSheet where 考生编号=? order by 题号",
        file, {registrationId}, [&](const CRowReader& row) {
            QStringList texts;
            for (int i = 0; i < columns.size(); ++i) texts << row.Text(i);
            auto text = [&](const char* column) {
                return texts[columns.indexOf(QString::fromUtf8(column))];
            };
            Row kept;
            kept.number = text("题号").toInt();
            kept.type = text("题型");
            kept.subject = text("科目");
            kept.stem = text("题干");
            for (const char* letter : {"A", "B", "C", "D", "E"}) kept.options << text(letter);
            while (!kept.options.isEmpty() && kept.options.last().isEmpty())
                kept.options.removeLast();
            kept.reference = text("答案");
            const int answer = int(columns.indexOf(QStringLiteral("答题")));
            if (!row.IsNull(answer)) kept.answer = texts[answer];
            kept.points = text("分值");
            kept.earned = text("得分");
            kept.intact = codes::AnswerSheetCode(texts) == row.Text(int(columns.size()));
            bankIds.push_back(text("题目编号").toLongLong());
            sheet.rows.push_back(std::move(kept));
        });
    FindPictures(sheet.rows, bankIds);
    return sheet;
}

Mark MarkOf(const Row& row) {
    if (row.earned.isEmpty()) return Mark::Ungraded;
    const double earned = QLocale::c().toDouble(row.earned);
    if (earned <= 0) return Mark::Wrong;
    return earned >= QLocale::c().toDouble(row.points) ? Mark::Right : Mark::HalfRight;
}

QString MarkText(const Row& row) {
    switch (MarkOf(row)) {
        case Mark::Right:
            return QStringLiteral("对");
        case Mark::Wrong:
            return QStringLiteral("错");
        case Mark::HalfRight:
            return qtype::Is(row.type, QuestionType::Essay) ? QStringLiteral("部分得分")
                                                            : QStringLiteral("半对");
        case Mark::Ungraded:
            break;
    }
    return QStringLiteral("待批改");
}

}  // namespace answersheet
