#include "rules/results.h"

#include <QByteArrayView>
#include <cmath>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/formats.h"
#include "data/schema.h"
#include "rules/statistics.h"

namespace results {
namespace {

const QString kSelect = QStringLiteral("select * from ExamRegister where ");
const QString kScored = QStringLiteral("成绩 is not null");

// The leading number of a stored text, 0 when it has none ("85.5" -> 85.5, "" -> 0),
// whatever the desktop's locale. Runs for every listed row, so no regular expression.
double LeadingNumber(const QString& text) {
    char number[32];
    int length = 0;
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        number[length++] = char(text[i++].unicode());
    bool point = false;
    for (; i < text.size() && length < int(sizeof number); ++i) {
        const QChar c = text[i];
        if (c == '.' && !point) {
            point = true;
        } else if (c < '0' || c > '9') {
            break;
        }
        number[length++] = char(c.unicode());
    }
    bool ok = false;
    const double value = QByteArrayView(number, length).toDouble(&ok);
    return ok ? value : 0.0;
}

bool Exists(const QString& sql) {
    CADOConn conn;
    return conn.OpenRecordset(sql, schema::kPersonnelFile)->RecordCount() > 0;
}

}  // namespace

Query QueryFor(const Criteria& c) {
    Query query;
    if (c.name.isEmpty() && c.department.isEmpty() && c.position.isEmpty() &&
        c.examName.isEmpty()) {
        query.refusal = QueryRefusal::AllEmpty;
        return query;
    }
    QStringList conditions;
    auto add = [&](const char* column, const QString& value) {
        conditions << QString::fromUtf8(column) + "=?";
        query.params << value;
    };
    if (!c.name.isEmpty()) add("姓名", c.name);
    if (!c.department.isEmpty()) {
        add("部门", c.department);
        if (!c.position.isEmpty()) add("职务", c.position);
    }
    if (!c.examName.isEmpty()) add("考试名称", c.examName);
    if (conditions.isEmpty()) {
        query.refusal = QueryRefusal::PositionOnly;
        query.params.clear();
        return query;
    }
    conditions << kScored;
    query.sql = kSelect + conditions.join(QStringLiteral(" and "));
    return query;
}

Query RankingFor(const QString& examName) {
    // The time used is stored as text: compared as text, 1200 seconds would rank
    // before 95.
    Query query;
    query.sql = kSelect + QStringLiteral(
                              "考试名称=? and 成绩 is not null and 考试用时 is not null "
                              "order by val(成绩) desc, val(考试用时) asc, ID asc");
    query.params << examName;
    return query;
}

QString PassVerdict(bool essaysPending, const QString& passMark, const QString& score) {
    if (essaysPending) return QStringLiteral("不定");
    const double mark = std::trunc(LeadingNumber(passMark));
    return mark < LeadingNumber(score) ? QStringLiteral("是") : QStringLiteral("否");
}

QString TimeUsedText(const QVariant& seconds) {
    if (!seconds.isValid() || seconds.isNull()) return QString();
    return FormatDuration(qint64(LeadingNumber(seconds.toString())));
}

namespace {

ScoreRow RowOf(const CRecordset& rs) {
    const QString score = rs.GetText("成绩");
    return {rs.GetText("姓名"),
            rs.GetText("部门"),
            rs.GetText("职务"),
            score,
            PassVerdict(!rs.IsNull("问答题"), rs.GetText("合格分数"), score),
            TimeUsedText(rs.GetCollect("考试用时")),
            rs.GetText("考试时间"),
            rs.GetText("考试名称"),
            rs.GetText("ID")};
}

// Every exam's JoinExam counters against its number of registrations.
bool CountersHold(CADOConn& conn) {
    const QString file = schema::kPersonnelFile;
    const RecordsetPtr exams = conn.OpenRecordset(
        "select 考试号, count(*) as 人数 from ExamRegister group by 考试号", file);
    for (; !exams->IsEOF(); exams->MoveNext()) {
        const RecordsetPtr counters =
            conn.OpenRecordset("select * from JoinExam where 考试号=?", file,
                               {qlonglong(LeadingNumber(exams->GetText("考试号")))});
        const bool found = counters->RecordCount() > 0;
        const QVariant quality = found ? counters->GetCollect("考生质量") : QVariant();
        const QVariant quantity = found ? counters->GetCollect("考生数量") : QVariant();
        if (!codes::ScoreQueryCountersValid(exams->GetText("人数").toLongLong(), quality, quantity))
            return false;
    }
    return true;
}

}  // namespace

std::vector<ScoreRow> Run(const Query& query) {
    std::vector<ScoreRow> rows;
    CADOConn conn;
    const RecordsetPtr rs = conn.OpenRecordset(query.sql, schema::kPersonnelFile, query.params);
    rows.reserve(size_t(rs->RecordCount()));
    for (; !rs->IsEOF(); rs->MoveNext()) rows.push_back(RowOf(*rs));
    return rows;
}

Ranking RankExam(const QString& examName) {
    Ranking ranking;
    ranking.rows = Run(RankingFor(examName));
    if (ranking.rows.empty()) return ranking;
    std::vector<double> scores;
    scores.reserve(ranking.rows.size());
    for (const ScoreRow& row : ranking.rows) scores.push_back(LeadingNumber(row.score));
    for (int rank : statistics::CompetitionRanks(scores)) ranking.ranks << QString::number(rank);

    CADOConn conn;
    const RecordsetPtr exam = conn.OpenRecordset(
        "select 考试号 from ExamRegister where 考试名称=? and 成绩 is not null limit 1",
        schema::kPersonnelFile, {examName});
    conn.ForEachRow(
        "select 姓名,部门,职务 from ExamRegister where 考试号=? and 成绩 is null order by ID",
        schema::kPersonnelFile, {exam->GetText("考试号")}, [&](const CRowReader& row) {
            // No registration ID: an absentee has no answer sheet to show.
            ranking.rows.push_back({row.Text(0), row.Text(1), row.Text(2), QString(), QString(),
                                    QString(), QString(), examName, QString()});
            ranking.ranks << AbsentText();
        });
    return ranking;
}

QString AbsentText() {
    return QStringLiteral("缺考");
}

bool HasRegistrations() {
    return Exists(QStringLiteral("select ID from ExamRegister limit 1"));
}

bool HasScores() {
    return Exists(QStringLiteral("select ID from ExamRegister where 成绩 is not null limit 1"));
}

QStringList ScoredExamNames() {
    QStringList names;
    CADOConn conn;
    const RecordsetPtr rs =
        conn.OpenRecordset("select Distinct 考试名称 from ExamRegister where 成绩 is not null",
                           schema::kPersonnelFile);
    for (; !rs->IsEOF(); rs->MoveNext()) names << rs->GetText("考试名称");
    return names;
}

bool EssaysWaiting() {
    return Exists(QStringLiteral("select ID from quesAndAns limit 1"));
}

QString PaperOf(const QString& examName) {
    CADOConn conn;
    const RecordsetPtr rs = conn.OpenRecordset("select 试卷名称 from ExamArrange where 考试名称=?",
                                               schema::kPersonnelFile, {examName});
    return rs->RecordCount() > 0 ? rs->GetText("试卷名称") : QString();
}

namespace {

// The scored rows, read forward only: a snapshot of every scored row would cost more
// than checking it.
const QString kScoredColumns = QStringLiteral(
    "select ID,姓名,部门,职务,考试名称,成绩,合格分数,考试用时,考试时间,问答题,保存码 from "
    "ExamRegister where 成绩 is not null");
enum ScoredColumn {
    kId,
    kName,
    kDepartment,
    kPosition,
    kExamName,
    kScore,
    kPassMark,
    kTimeUsed,
    kHandIn,
    kEssays,
    kCode,
};

// The integrity pass; every intact scored row goes to `keep` when it is given. Each
// column is read once, for the code and for the list: 显示全部 runs this over every row.
Integrity Check(std::vector<ScoreRow>* keep) {
    CADOConn conn;
    if (!CountersHold(conn)) return Integrity::CountersTampered;
    bool intact = true;
    conn.ForEachRow(kScoredColumns, schema::kPersonnelFile, {}, [&](const CRowReader& row) {
        if (!intact) return;
        ScoreRow shown;
        shown.registrationId = row.Text(kId);
        shown.name = row.Text(kName);
        shown.position = row.Text(kPosition);
        shown.examName = row.Text(kExamName);
        shown.score = row.Text(kScore);
        shown.handInTime = row.Text(kHandIn);
        const QString passMark = row.Text(kPassMark);
        const QString timeUsed = row.Text(kTimeUsed);
        intact = codes::ScoreCode({shown.registrationId, shown.name, shown.position, shown.examName,
                                   shown.score, passMark, timeUsed, shown.handInTime}) ==
                 QLatin1String(row.Utf8(kCode).data(), row.Utf8(kCode).size());
        if (!intact || !keep) return;
        shown.department = row.Text(kDepartment);
        shown.verdict = PassVerdict(!row.IsNull(kEssays), passMark, shown.score);
        if (!row.IsNull(kTimeUsed)) shown.timeUsed = TimeUsedText(timeUsed);
        keep->push_back(std::move(shown));
    });
    if (!intact) {
        if (keep) keep->clear();
        return Integrity::ScoreTampered;
    }
    return Integrity::Intact;
}

}  // namespace

Integrity CheckIntegrity() {
    return Check(nullptr);
}

Integrity CheckAndListAll(std::vector<ScoreRow>* rows) {
    rows->clear();
    return Check(rows);
}

QString IntegrityMessage(Integrity integrity) {
    switch (integrity) {
        case Integrity::CountersTampered:
            return QStringLiteral("考生人数信息已被篡改,将退出程序！");
        case Integrity::ScoreTampered:
            return QStringLiteral("考生成绩信息已被篡改,将退出程序！");
        case Integrity::Intact:
            break;
    }
    return QString();
}

QString ExportRefusalMessage(ExportRefusal refusal) {
    switch (refusal) {
        case ExportRefusal::EmptyList:
            return QStringLiteral("考生信息不能为空！");
        case ExportRefusal::NoneTicked:
            return QStringLiteral("请选择考生！");
        case ExportRefusal::MixedExams:
            return QStringLiteral("选择的考试名称应相同！");
        case ExportRefusal::TooMany:
            return QStringLiteral("一次选择不能超过20名考生！");
        case ExportRefusal::None:
            break;
    }
    return QString();
}

ExportPlan PlanExport(int listedRows, const std::vector<ListedRow>& ticked, bool showTimeUsed) {
    ExportPlan plan;
    if (listedRows == 0) {
        plan.refusal = ExportRefusal::EmptyList;
        return plan;
    }
    if (ticked.empty()) {
        plan.refusal = ExportRefusal::NoneTicked;
        return plan;
    }
    for (const ListedRow& listed : ticked) {
        if (listed.row.examName != ticked.front().row.examName) {
            plan.refusal = ExportRefusal::MixedExams;
            return plan;
        }
    }
    if (ticked.size() > size_t(kMostOnSheet)) {
        plan.refusal = ExportRefusal::TooMany;
        return plan;
    }
    plan.sheet.showTimeUsed = showTimeUsed;
    plan.sheet.examName = ticked.front().row.examName;
    for (const ListedRow& listed : ticked) {
        const ScoreRow& r = listed.row;
        plan.sheet.rows.append({listed.number, r.name, r.department, r.position, r.score, r.verdict,
                                r.timeUsed, r.handInTime.left(10)});
    }
    return plan;
}

}  // namespace results
