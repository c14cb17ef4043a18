#include "scorefixture.h"

#include <vector>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"
#include "rules/results.h"
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

void StoreAnswer(const SheetAnswer& a) {
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

const QString kSampleExam = QStringLiteral("年度安全知识考试");

namespace {

// Twelve questions for every sample examinee, answered the better the higher his score:
// one everybody gets right, one the weaker examinees get right more often, and an essay
// graded for all but one.
void StoreSampleSheets(const QString& examNo,
                       const std::vector<std::pair<qlonglong, double>>& examinees) {
    for (const auto& [id, score] : examinees) {
        for (int q = 1; q <= 12; ++q) {
            const bool right =
                q == 1 || (q == 11 ? score < 80 : score > 35 + q * 5 - (id % 3) * 6);
            SheetAnswer a;
            a.registration = id;
            a.examNo = examNo;
            a.number = q;
            a.type = q <= 6 ? "单选题" : q <= 8 ? "判断题" : q <= 11 ? "多选题" : "问答题";
            a.questionId = 100 + q;
            a.answer = right ? QString("A") : QString(q % 2 ? "B" : "CD");
            a.points = q == 12 ? "10" : "5";
            a.earned = right ? a.points : "0";
            if (q == 12) {
                a.answer = QStringLiteral("先报警，再疏散。");
                a.earned = score > 80 ? "8" : score > 60 ? "5" : id % 2 ? "" : "2";
            }
            StoreAnswer(a);
        }
    }
}

}  // namespace

void StoreSampleScores() {
    // An exam number of its own, so the sample folder's registrations do not join it.
    const QString examNo = QStringLiteral("9");
    const struct {
        const char *name, *department, *position, *score, *time;
        bool essays;
    } samples[] = {
        {"张三", "生产部", "操作工", "92.5", "1520", false},
        {"李四", "生产部", "班组长", "60", "2210", false},
        {"欧阳建国", "安全生产管理部门", "安全员", "85", "1800", false},
        {"王五", "技术部", "工程师", "85", "3300", false},
        {"赵六", "安全部", "安全员", "71", "1190", true},
        {"司马长风", "办公室", "文员", "88.5", "960", false},
    };
    std::vector<std::pair<qlonglong, double>> sheets;
    for (const auto& sample : samples) {
        StoredScore s;
        s.name = QString::fromUtf8(sample.name);
        s.department = QString::fromUtf8(sample.department);
        s.position = QString::fromUtf8(sample.position);
        s.score = sample.score;
        s.timeUsed = sample.time;
        s.essays = sample.essays;
        s.examName = kSampleExam;
        s.examNo = examNo;
        const qlonglong id = StoreScore(s);
        if (sample.essays) StoreEssay(id, s);
        sheets.emplace_back(id, s.score.toDouble());
    }
    StoredScore absent;
    absent.name = QStringLiteral("周八");
    absent.department = QStringLiteral("后勤部");
    absent.position = QStringLiteral("司机");
    absent.examNo = examNo;
    StoreUnscored(absent);
    StoreSampleSheets(examNo, sheets);
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
