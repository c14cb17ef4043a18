#include "rules/paperinprogress.h"

#include <vector>

#include "data/adoconn.h"
#include "data/intransaction.h"
#include "data/schema.h"
#include "rules/batchinsert.h"

namespace progress {
namespace {

const QString kFile = schema::kPersonnelFile;

// The question columns both tables share, in this order.
const QStringList& QuestionColumns() {
    static const QStringList columns = {"题型", "题目编号", "科目", "题干", "A",    "B",
                                        "C",    "D",        "E",    "答题", "分值", "图片"};
    return columns;
}

void Execute(CADOConn& conn, const QString& sql, const QVariantList& params) {
    conn.ExecuteStatement(sql, kFile, params);
}

QVariant Value(const CRowReader& row, int column) {
    return row.IsNull(column) ? QVariant() : QVariant(row.Text(column));
}

}  // namespace

void Keep(CADOConn& conn, const QString& registrationId, const QStringList& references) {
    Remove(conn, registrationId);
    QString examNo;
    conn.ForEachRow("select 考试号 from ExamRegister where ID=?", kFile,
                    {registrationId.toLongLong()},
                    [&examNo](const CRowReader& row) { examNo = row.Text(0); });
    Execute(conn, "insert into examProgress(考生编号,考试号,用时) values(?,?,?)",
            {registrationId, examNo, 0});
    std::vector<QVariantList> rows;
    conn.ForEachRow(
        "select 编号," + QuestionColumns().join(',') + " from exam order by 编号", kFile, {},
        [&](const CRowReader& row) {
            const int number = row.Text(0).toInt();
            QVariantList values = {registrationId, number, references.value(number - 1)};
            for (int i = 1; i <= QuestionColumns().size(); ++i) values << Value(row, i);
            rows.push_back(std::move(values));
        });
    InsertRows(conn, kFile, "paperInProgress",
               QStringList{"考生编号", "题号", "答案"} + QuestionColumns(), rows);
}

std::optional<int> TimeUsed(const QString& registrationId) {
    CADOConn conn;
    if (conn.CountRows("ExamRegister where ID=? and 成绩 is null", kFile,
                       {registrationId.toLongLong()}) == 0 ||
        conn.CountRows("paperInProgress where 考生编号=?", kFile, {registrationId}) == 0)
        return std::nullopt;
    std::optional<int> used;
    conn.ForEachRow("select 用时 from examProgress where 考生编号=?", kFile, {registrationId},
                    [&used](const CRowReader& row) { used = int(row.Integer("用时")); });
    return used;
}

Resumed Resume(const QString& registrationId) {
    return InTransaction(kFile, [&](CADOConn& conn) {
        schema::RecreateScratchTable(conn, kFile, schema::kCreateExam, schema::kDropExam);
        Resumed resumed;
        std::vector<QVariantList> rows;
        conn.ForEachRow("select 题号,答案," + QuestionColumns().join(',') +
                            " from paperInProgress where 考生编号=? order by 题号",
                        kFile, {registrationId}, [&](const CRowReader& row) {
                            resumed.answerKey += row.Text(1) + '|';
                            QVariantList values = {row.Text(0).toInt()};
                            for (int i = 2; i < 2 + QuestionColumns().size(); ++i)
                                values << Value(row, i);
                            rows.push_back(std::move(values));
                        });
        InsertRows(conn, kFile, "exam", QStringList{"编号"} + QuestionColumns(), rows);
        conn.ForEachRow(
            "select 用时 from examProgress where 考生编号=?", kFile, {registrationId},
            [&resumed](const CRowReader& row) { resumed.timeUsed = int(row.Integer("用时")); });
        return resumed;
    });
}

void StoreAnswer(const QString& registrationId, int number, const QVariant& answer, int timeUsed) {
    InTransaction(kFile, [&](CADOConn& conn) {
        Execute(conn, "update exam set 答题=? where 编号=?", {answer, number});
        Execute(conn, "update paperInProgress set 答题=? where 考生编号=? and 题号=?",
                {answer, registrationId, number});
        Execute(conn, "update examProgress set 用时=? where 考生编号=?",
                {timeUsed, registrationId});
    });
}

void StoreTimeUsed(const QString& registrationId, int timeUsed) {
    InTransaction(kFile, [&](CADOConn& conn) {
        Execute(conn, "update examProgress set 用时=? where 考生编号=?",
                {timeUsed, registrationId});
    });
}

void Remove(CADOConn& conn, const QString& registrationId) {
    Execute(conn, "delete from paperInProgress where 考生编号=?", {registrationId});
    Execute(conn, "delete from examProgress where 考生编号=?", {registrationId});
}

void RemoveExam(CADOConn& conn, const QString& examNo) {
    Execute(conn,
            "delete from paperInProgress where 考生编号 in "
            "(select 考生编号 from examProgress where 考试号=?)",
            {examNo});
    Execute(conn, "delete from examProgress where 考试号=?", {examNo});
}

}  // namespace progress
