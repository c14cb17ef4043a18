#include "scorefixture.h"

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"

namespace {

const QString kFile = schema::kPersonnelFile;

void SyncCounters(CADOConn& conn, const QString& examNo) {
    const long count =
        conn.OpenRecordset("select ID from ExamRegister where 考试号=?", kFile, {examNo})
            ->RecordCount();
    const codes::Counters counters = codes::CountersFor(count);
    conn.ExecuteStatement("delete from JoinExam where 考试号=?", kFile, {examNo.toLongLong()});
    conn.ExecuteStatement("insert into JoinExam(考试号,考生质量,考生数量) values(?,?,?)", kFile,
                          {examNo.toLongLong(), counters.quality, counters.quantity});
}

// The registration as enrolment writes it; its row stays open for the score.
RecordsetPtr Enrol(CADOConn& conn, const StoredScore& s) {
    auto row = conn.OpenRecordset("select * from ExamRegister", kFile);
    row->AddNew();
    row->PutCollect("姓名", s.name);
    row->PutCollect("部门", s.department);
    row->PutCollect("职务", s.position);
    row->PutCollect("考试号", s.examNo);
    row->PutCollect("合格分数", s.passMark);
    row->PutCollect("保存码",
                    codes::EnrolmentCode(s.name, s.department, s.position, s.examNo, s.passMark));
    row->Update();
    return row;
}

}  // namespace

qlonglong StoreScore(const StoredScore& s) {
    CADOConn conn;
    auto row = Enrol(conn, s);
    const QString id = row->GetText("ID");
    row->PutCollect("考试名称", s.examName);
    row->PutCollect("成绩", s.score);
    row->PutCollect("考试用时", s.timeUsed);
    row->PutCollect("考试时间", s.handIn);
    row->PutCollect("问答题", s.essays ? QVariant(QStringLiteral("有")) : QVariant());
    row->PutCollect("保存码", codes::ScoreCode({id, s.name, s.position, s.examName, s.score,
                                                s.passMark, s.timeUsed, s.handIn}));
    row->Update();
    SyncCounters(conn, s.examNo);
    return id.toLongLong();
}

qlonglong StoreEssay(qlonglong registrationId, const StoredScore& s, const QString& points,
                     const QString& answer) {
    CADOConn conn;
    auto row = conn.OpenRecordset("select * from quesAndAns", kFile);
    row->AddNew();
    row->PutCollect("姓名", s.name);
    row->PutCollect("考生编号", QString::number(registrationId));
    row->PutCollect("部门", s.department);
    row->PutCollect("职务", s.position);
    row->PutCollect("考试号", s.examNo);
    row->PutCollect("考试名称", s.examName);
    row->PutCollect("题干", QStringLiteral("发现火情时应当怎样做？"));
    row->PutCollect("答案", QStringLiteral("报警并疏散。"));
    row->PutCollect("答题", answer);
    row->PutCollect("分值", points);
    row->Update();
    return row->GetText("ID").toLongLong();
}

void StoreAnswer(const StoredAnswer& a) {
    CADOConn conn;
    conn.ExecuteStatement(
        "insert into answerSheet(考生编号,考试号,题号,题型,题目编号,科目,题干,答题,分值,得分) "
        "values(?,?,?,?,?,?,?,?,?,?)",
        kFile,
        {QString::number(a.registration), a.examNo, a.number, a.type, a.questionId,
         QStringLiteral("安全"), a.type + QString::number(a.questionId),
         a.answer ? QVariant(*a.answer) : QVariant(), a.points, a.earned});
}

qlonglong StoreUnscored(const StoredScore& s) {
    CADOConn conn;
    const QString id = Enrol(conn, s)->GetText("ID");
    SyncCounters(conn, s.examNo);
    return id.toLongLong();
}

void Tamper(qlonglong registrationId, const QString& column, const QString& value) {
    CADOConn conn;
    conn.ExecuteStatement("update ExamRegister set " + column + "=? where ID=?", kFile,
                          {value, registrationId});
}
