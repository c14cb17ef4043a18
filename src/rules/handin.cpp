#include "rules/handin.h"

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/formats.h"
#include "data/intransaction.h"
#include "data/schema.h"
#include "rules/batchinsert.h"
#include "rules/countdown.h"
#include "rules/paperinprogress.h"
#include "rules/scoring.h"

namespace handin {
namespace {

QStringList SheetColumns() {
    return codes::AnswerSheetColumns() + QStringList{"保存码"};
}

// The answer-sheet row of the exam row on `row`, with its save code; NULL columns stay NULL.
QVariantList SheetRow(const CRecordset& row, const QStringList& head, const QString& reference,
                      const QString& earned) {
    QVariantList values;
    QStringList texts = head;
    for (const QString& v : head) values << v;
    for (const char* column : {"题型", "题目编号", "科目", "题干", "A", "B", "C", "D", "E"}) {
        values << row.GetCollect(column);
        texts << row.GetText(column);
    }
    values << reference << row.GetCollect("答题") << row.GetText("分值") << earned;
    texts << reference << row.GetText("答题") << row.GetText("分值") << earned;
    return values << codes::AnswerSheetCode(texts);
}

}  // namespace

std::optional<Result> Store(const ExamTicket& ticket, const QStringList& answerList,
                            int remainingSeconds, const QDateTime& handInTime, QString* error) {
    const QString file = schema::kPersonnelFile;
    const QString handedIn = FormatHandInTime(handInTime);
    const QString elapsed =
        QString::number(countdown::ElapsedSeconds(ticket.timeLimit.toInt(), remainingSeconds));
    auto reference = [&answerList](int n) {
        return n >= 1 && n <= answerList.size() ? answerList[n - 1] : QString();
    };
    try {
        return InTransaction(file, [&](CADOConn& conn) {
            auto registration = conn.OpenRecordset("select * from ExamRegister where ID=?", file,
                                                   {ticket.registrationId.toLongLong()});
            const QString name = registration->GetText("姓名");
            const QString department = registration->GetText("部门");
            const QString position = registration->GetText("职务");
            const QString examNo = registration->GetText("考试号");

            Result result;
            std::vector<QVariantList> sheet;
            auto rows = conn.OpenRecordset("select * from exam", file);
            for (rows->MoveFirst(); !rows->IsEOF(); rows->MoveNext()) {
                const QString type = rows->GetText("题型");
                const int n = rows->GetText("编号").toInt();
                const std::optional<QString> answer =
                    rows->IsNull("答题") ? std::nullopt
                                         : std::optional<QString>(rows->GetText("答题"));
                const double points = rows->GetText("分值").toDouble();
                const scoring::Verdict verdict = scoring::Judge(type, answer, reference(n));
                const double earned = scoring::PointsEarned(verdict, points);
                result.score += earned;
                sheet.push_back(SheetRow(
                    *rows, {ticket.registrationId, examNo, QString::number(n)}, reference(n),
                    verdict == scoring::Verdict::Essay ? QString() : FormatScore(earned)));
                if (verdict != scoring::Verdict::Essay) continue;
                result.hasEssays = true;
                conn.ExecuteStatement(
                    "insert into quesAndAns(姓名,考生编号,部门,职务,考试号,考试名称,题干,答案,答题,"
                    "分值) values(?,?,?,?,?,?,?,?,?,?)",
                    file,
                    {name, ticket.registrationId, department, position, examNo, ticket.examName,
                     rows->GetText("题干"), reference(n), answer ? QVariant(*answer) : QVariant(),
                     rows->GetText("分值")});
            }

            const QString scoreText = FormatScore(result.score);
            registration->PutCollect("成绩", scoreText);
            registration->PutCollect("考试用时", elapsed);
            registration->PutCollect("考试时间", handedIn);
            registration->PutCollect("考试名称", ticket.examName);
            registration->PutCollect(
                "保存码",
                codes::ScoreCode({ticket.registrationId, name, position, ticket.examName, scoreText,
                                  QString::number(ticket.passMark), elapsed, handedIn}));
            registration->PutCollect(
                "问答题", result.hasEssays ? QVariant(QStringLiteral("有")) : QVariant());
            registration->Update();
            InsertRows(conn, file, "answerSheet", SheetColumns(), sheet);
            progress::Remove(conn, ticket.registrationId);
            return std::optional<Result>(result);
        });
    } catch (const DatabaseError& e) {
        if (error) *error = QString::fromUtf8(e.what());
        return std::nullopt;
    }
}

std::optional<Result> AlreadyStored(const ExamTicket& ticket, const QDateTime& handInTime) {
    try {
        CADOConn conn;
        const RecordsetPtr registration =
            conn.OpenRecordset("select * from ExamRegister where ID=?", schema::kPersonnelFile,
                               {ticket.registrationId.toLongLong()});
        if (registration->RecordCount() != 1 ||
            registration->GetText("考试时间") != FormatHandInTime(handInTime) ||
            registration->GetText("考试名称") != ticket.examName ||
            !codes::ScoreIntact(*registration))
            return std::nullopt;
        return Result{registration->GetText("成绩").toDouble(),
                      registration->GetText("问答题") == QStringLiteral("有")};
    } catch (const DatabaseError&) {
        return std::nullopt;
    }
}

}  // namespace handin
