#include "scorefixture.h"

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"
#include "rules/results.h"

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

void StoreSampleScores() {
    const struct {
        const char *name, *department, *position, *score, *time;
        bool essays;
    } samples[] = {
        {"张三", "生产部", "操作工", "92.5", "1520", false},
        {"李四", "生产部", "班组长", "60", "2210", false},
        {"欧阳建国", "安全生产管理部门", "安全员", "85", "1800", false},
        {"王五", "技术部", "工程师", "47", "3300", false},
        {"赵六", "安全部", "安全员", "71", "1190", true},
        {"司马长风", "办公室", "文员", "88.5", "960", false},
    };
    for (const auto& sample : samples) {
        StoredScore s;
        s.name = QString::fromUtf8(sample.name);
        s.department = QString::fromUtf8(sample.department);
        s.position = QString::fromUtf8(sample.position);
        s.score = sample.score;
        s.timeUsed = sample.time;
        s.essays = sample.essays;
        const qlonglong id = StoreScore(s);
        if (sample.essays) StoreEssay(id, s);
    }
}

ScoreSheet SampleSheet() {
    std::vector<results::ScoreRow> scored;
    results::CheckAndListAll(&scored);
    std::vector<results::ListedRow> rows;
    int number = 0;
    for (const results::ScoreRow& row : scored) rows.push_back({QString::number(++number), row});
    results::ExportPlan plan = results::PlanExport(int(rows.size()), rows, true);
    plan.sheet.paperName = results::PaperOf(plan.sheet.examName);
    return plan.sheet;
}
