#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <vector>

#include "rules/scoresheet.h"

// The exam administrator's view of stored results: which registrations a query lists,
// how each is shown, the ranking of one exam, the integrity of counters and score
// codes, and which ticked rows may go on a score sheet. Every operation that reads
// opens its own connection to personnel.mdb; a database failure raises DatabaseError.
namespace results {

// The four criteria of the score query; an empty text is not given.
struct Criteria {
    QString name;
    QString department;
    QString position;
    QString examName;
};

enum class QueryRefusal {
    None,
    AllEmpty,      // "查询条件不能全部为空！"
    PositionOnly,  // a position means nothing without its department: "查询条件不能为空！"
};

struct Query {
    QueryRefusal refusal = QueryRefusal::None;
    QString sql;
    QVariantList params;
};

// The query for the criteria: conditions on 姓名, 部门, 职务 (only with its department)
// and 考试名称, in that order, over the scored registrations.
Query QueryFor(const Criteria& criteria);
// The scored registrations of one exam, highest score first; equal scores by the time
// used, shortest first. Both compare as numbers.
Query RankingFor(const QString& examName);

// One scored registration as the list shows it.
struct ScoreRow {
    QString name;
    QString department;
    QString position;
    QString score;
    QString verdict;   // 合格 column
    QString timeUsed;  // hh:mm:ss, empty when not stored
    QString handInTime;
    QString examName;
    QString registrationId;  // ID of the ExamRegister row
};

// "不定" while essays wait for grading, else "是" when the pass mark (read as a whole
// number) is strictly below the score, else "否": a score equal to the pass mark
// shows 否 here.
QString PassVerdict(bool essaysPending, const QString& passMark, const QString& score);
// Stored seconds as hh:mm:ss; empty for a NULL column.
QString TimeUsedText(const QVariant& seconds);

std::vector<ScoreRow> Run(const Query& query);

// 成绩排名 of one exam: the rows of RankingFor with their 名次 (equal scores share a
// rank, the next one skips), then the exam's registrations without a score, 名次 "缺考",
// with only the examinee and the exam filled in. No row at all when nobody has a score.
struct Ranking {
    std::vector<ScoreRow> rows;
    QStringList ranks;
};
Ranking RankExam(const QString& examName);
QString AbsentText();  // "缺考"

bool HasRegistrations();
bool HasScores();
// Names of the exams with stored scores, for the exam list.
QStringList ScoredExamNames();
bool EssaysWaiting();
// 试卷名称 of the exam; empty when there is none.
QString PaperOf(const QString& examName);

enum class Integrity {
    Intact,
    CountersTampered,  // JoinExam no longer matches an exam's registrations
    ScoreTampered,     // a scored row's save code does not match its columns
};
// Checks the counters of every exam with registrations and the code of every scored row.
Integrity CheckIntegrity();
// The same pass, which reads every scored row anyway, also giving them for 显示全部;
// the rows stay empty unless everything is intact.
Integrity CheckAndListAll(std::vector<ScoreRow>* rows);
QString IntegrityMessage(Integrity integrity);

// A row of the list as 导出 reads it back.
struct ListedRow {
    QString number;
    ScoreRow row;
};

enum class ExportRefusal {
    None,
    EmptyList,   // "考生信息不能为空！"
    NoneTicked,  // "请选择考生！"
    MixedExams,  // "选择的考试名称应相同！"
    TooMany,     // "一次选择不能超过20名考生！"
};
QString ExportRefusalMessage(ExportRefusal refusal);
constexpr int kMostOnSheet = 20;

struct ExportPlan {
    ExportRefusal refusal = ExportRefusal::None;
    ScoreSheet sheet;  // without the paper name, which the caller looks up
};
// The sheet for the ticked rows, in list order; the dates are the first 10 characters
// of the hand-in time.
ExportPlan PlanExport(int listedRows, const std::vector<ListedRow>& ticked, bool showTimeUsed);

}  // namespace results
