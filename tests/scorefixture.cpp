#include "scorefixture.h"

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"
#include "rules/answers.h"
#include "rules/assembly.h"
#include "rules/examsession.h"

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

}  // namespace

qlonglong StoreScore(const StoredScore& s) {
    CADOConn conn;
    auto row = conn.OpenRecordset("select * from ExamRegister", kFile);
    row->AddNew();
    row->PutCollect("姓名", s.name);
    row->PutCollect("部门", s.department);
    row->PutCollect("职务", s.position);
    row->PutCollect("考试号", s.examNo);
    row->PutCollect("合格分数", s.passMark);
    row->Update();
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

void Tamper(qlonglong registrationId, const QString& column, const QString& value) {
    CADOConn conn;
    conn.ExecuteStatement("update ExamRegister set " + column + "=? where ID=?", kFile,
                          {value, registrationId});
}

QString HandInSamplePaper(const SampleAnswer& answer, int* questions) {
    CADOConn conn;
    const QString file = schema::kPersonnelFile;
    const QString id =
        conn.OpenRecordset("select ID from ExamRegister where 成绩 is null", file)->GetText("ID");
    schema::RecreateScratchTable(conn, file, schema::kCreateInterim, schema::kDropInterim);
    schema::RecreateScratchTable(conn, file, schema::kCreateExam, schema::kDropExam);
    assembly::MersenneRandom random(3);
    const auto drawn = assembly::AssemblePaper("单科", "安全生产基础测试", random, id);
    const QStringList key = answers::SplitAnswerKey(drawn.answerKey);
    ExamSession session({drawn.answerKey, "安全生产月度考试", "60", id, 19});
    session.Open();
    for (int n = 1; n <= key.size(); ++n)
        if (const auto given = answer(n, session.Type(n), key[n - 1]))
            session.StoreAnswer(n, *given, n * 40);
    session.HandIn(key, 1500, QDateTime::currentDateTime(), nullptr);
    if (questions) *questions = int(key.size());
    return id;
}
