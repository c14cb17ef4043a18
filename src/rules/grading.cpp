#include "rules/grading.h"

#include <QLocale>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/formats.h"
#include "data/intransaction.h"
#include "data/questiontype.h"
#include "data/schema.h"

namespace grading {
namespace {

// The graded essay's row of the answer sheet gets its points and a new code; a result
// stored before answer sheets were kept has none.
void MarkSheetRow(CADOConn& conn, const EssayAnswer& answer, double points) {
    const QString file = schema::kPersonnelFile;
    const QStringList& columns = codes::AnswerSheetColumns();
    qlonglong id = 0;
    QStringList texts;
    conn.ForEachRow(
        "select ID," + columns.join(',') +
            " from answerSheet where 考生编号=? and 题型=? and coalesce(得分,'')='' "
            "and 题干=? and coalesce(答题,'')=? order by 题号 limit 1",
        file, {answer.registrationId, qtype::Name(QuestionType::Essay), answer.stem, answer.answer},
        [&](const CRowReader& row) {
            id = row.Integer("ID");
            for (int i = 1; i <= columns.size(); ++i) texts << row.Text(i);
        });
    if (id == 0) return;
    texts.last() = FormatScore(points);
    conn.ExecuteStatement("update answerSheet set 得分=?,保存码=? where ID=?", file,
                               {texts.last(), codes::AnswerSheetCode(texts), id});
}

}  // namespace

std::vector<EssayAnswer> ListAnswers() {
    std::vector<EssayAnswer> answers;
    CADOConn conn;
    const RecordsetPtr rs = conn.OpenRecordset("select * from quesAndAns", schema::kPersonnelFile);
    for (; !rs->IsEOF(); rs->MoveNext())
        answers.push_back({rs->GetText("ID").toLongLong(), rs->GetText("姓名"), rs->GetText("部门"),
                           rs->GetText("职务"), rs->GetText("考试名称"), rs->GetText("题干"),
                           rs->GetText("答案"), rs->GetText("答题"), rs->GetText("分值"),
                           rs->GetText("考生编号")});
    return answers;
}

QString NormalizedPoints(const QString& text) {
    if (text.startsWith('.')) return QString();
    QString normalized = text;
    const qsizetype point = normalized.indexOf('.');
    if (point >= 0 && normalized.size() - point - 1 > 1) {
        // Cut to one decimal digit in the text itself, so no binary rounding creeps in.
        normalized.truncate(point + 2);
        normalized = QString::asprintf("%.1f", QLocale::c().toDouble(normalized));
    }
    if (normalized.size() > 1 && normalized.startsWith('0') && normalized[1] != '.')
        normalized.remove(0, 1);
    return normalized;
}

double AwardedPoints(const QString& text) {
    return text.isEmpty() ? 0.0 : QLocale::c().toDouble(text);
}

bool ExceedsQuestion(double awarded, const QString& questionPoints) {
    return awarded > QLocale::c().toDouble(questionPoints.trimmed());
}

QString ConfirmationText(double awarded) {
    return QString::asprintf("您批改的%.1f分将被记入该考生的成绩，是否确定？", awarded);
}

std::optional<Awarded> Award(const EssayAnswer& answer, double points, QString* error) {
    const QString file = schema::kPersonnelFile;
    try {
        return InTransaction(file, [&](CADOConn& conn) {
            // The registration's row lock first: two graders of one examinee's essays
            // then add to the score one after the other instead of over each other.
            conn.ExecuteStatement("update ExamRegister set 成绩=成绩 where ID=?", file,
                                       {answer.registrationId.toLongLong()});
            conn.ExecuteStatement("delete from quesAndAns where ID=?", file, {answer.id});
            const bool essaysLeft =
                conn.OpenRecordset("select ID from quesAndAns where 考试名称=? and 考生编号=?",
                                   file, {answer.examName, answer.registrationId})
                    ->RecordCount() > 0;

            const RecordsetPtr registration =
                conn.OpenRecordset("select * from ExamRegister where ID=?", file,
                                   {answer.registrationId.toLongLong()});
            if (registration->RecordCount() == 0)
                throw DatabaseError(QStringLiteral("找不到这位考生的报名记录。"));
            Awarded awarded;
            awarded.essaysLeft = essaysLeft;
            awarded.score =
                FormatScore(QLocale::c().toDouble(registration->GetText("成绩")) + points);
            registration->PutCollect("成绩", awarded.score);
            registration->PutCollect(
                "保存码",
                codes::ScoreCode({answer.registrationId, answer.name, answer.position,
                                  answer.examName, awarded.score, registration->GetText("合格分数"),
                                  registration->GetText("考试用时"),
                                  registration->GetText("考试时间")}));
            registration->PutCollect("问答题",
                                     essaysLeft ? QVariant(QStringLiteral("有")) : QVariant());
            registration->Update();
            MarkSheetRow(conn, answer, points);
            return std::optional<Awarded>(awarded);
        });
    } catch (const DatabaseError& e) {
        if (error) *error = QString::fromUtf8(e.what());
        return std::nullopt;
    }
}

}  // namespace grading
