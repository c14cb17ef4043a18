#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "data/codes.h"

class QDateTime;

// Test papers: the rules of composing draw rules on the composition screen, storing
// papers (exampaper, and testpaper for a paper composed subject by subject) and
// managing them. The rule texts written here are what the assembly parses.
namespace papers {

// Subject modes.
inline const QString kSingleSubject = QStringLiteral("单科");
inline const QString kMultiSubject = QStringLiteral("多科");
inline const QString kAllSubjects = QStringLiteral("全科");
// A section without questions.
inline const QString kEmptySection = QStringLiteral("空");

// ---- Typing rules of the numeric fields

// What the points field accepts while typing: digits and at most one ".".
bool IsPointsInput(const QString& text);
// The correction after a typed change of the points: more than one decimal is cut to one
// (1.25 → 1.2), a text beginning with "." is emptied, a leading "0" goes unless the text
// is "0" or begins with "0." (05 → 5).
QString CorrectPoints(const QString& text);
// A draw count read as a decimal integer: the leading digits after an optional sign, 0
// when there are none ("2题" → 2).
int ReadDrawCount(const QString& text);
// The refusal of a typed draw count against the available questions (empty text when
// none are known); empty when the count stands.
QString DrawCountRefusal(int count, const QString& available);
// "%.1lf" of a number of points.
QString FormatPoints(double points);
// 分数 of the rule being entered: count × points, empty unless both are given.
QString Subtotal(const QString& points, const QString& count);

// ---- Rule text of a section, as shown while composing (lines end with CRLF)

struct RuleRequest {
    QString mode;
    QString subject;
    QString group;
    QString difficulty;
    QString points;  // the points field; only the first rule of a section reads it
    QString count;   // the draw count field
};

struct RuleResult {
    QString refusal;   // the message when the rule is refused, else empty
    QString ruleText;  // the section's rule text after adding the rule
    int count = 0;     // the draw count added
};

// Adds one rule to a section's rule text: the first rule writes the header (subject in
// angle brackets except in 全科) and the points; later rules join the group of their
// target group, or start a new group, and may use each difficulty once per group.
RuleResult AddRule(const QString& ruleText, const RuleRequest& request);

// The stored form of a section's rule text: no line breaks, no subject header; "空" for
// a section without rules.
QString StoredRule(const QString& ruleText);

// ---- Papers

// What the five sections of the screen hold, in the storage order 单选题, 判断题,
// 填空题, 多选题, 问答题.
struct SectionState {
    QString ruleText;
    int questions = 0;  // the count box
    QString total;      // the section total, "%.1lf", empty when there are no rules
};
using Sections = std::array<SectionState, 5>;

struct PaperRecord {
    codes::PaperColumns columns;
    QString mode;
};

// The record 保存 writes: 科目 "无" in 全科, the stored rules, the totals and the time.
PaperRecord ComposePaper(const QString& name, const QString& mode, const QString& subject,
                         const Sections& sections, const QDateTime& now);
bool HasNoRules(const PaperRecord& record);

// The questions of a type available for a rule: the bank rows of the target group and
// difficulty (and of the subject unless the mode is 全科), as decimal text; empty when
// an input is missing. Database failures raise DatabaseError here and below.
QString AvailableQuestions(const QString& type, const QString& mode, const QString& subject,
                           const QString& group, const QString& difficulty);

// A paper of that name in exampaper.
bool PaperNameTaken(const QString& name);
// The subjects already saved under the name in testpaper.
int SavedSubjects(const QString& name);
bool SubjectComposed(const QString& name, const QString& subject);

// Appends the record to exampaper, or to testpaper for a subject of a multi-subject
// paper. The first subject of a new multi-subject paper first removes testpaper rows of
// the name that have no exampaper row (left by a composition never completed), in the
// same transaction.
void StorePaper(const PaperRecord& record, bool firstSubject);
// Removes every subject saved under the name (answering No while collecting).
void DiscardSubjects(const QString& name);
// Writes the summary of a multi-subject paper in exampaper and returns it.
PaperRecord CompleteMultiSubject(const QString& name, const QDateTime& now);

// ---- Paper management

struct ListedPaper {
    qlonglong id = 0;
    QStringList cells;  // 名称, the five types, 总题数, 满分, 创建时间
    bool intact = true;
};
std::vector<ListedPaper> ListPapers();
// The five section texts of a paper, in the storage order.
QStringList PaperSections(qlonglong id);
// Deletes the paper and, for a multi-subject paper, its testpaper rows, all or none.
void DeletePaper(qlonglong id);

}  // namespace papers
