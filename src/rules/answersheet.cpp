#include "rules/answersheet.h"

#include <QLocale>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "rules/results.h"

namespace answersheet {

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
            sheet.rows.push_back(std::move(kept));
        });
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
