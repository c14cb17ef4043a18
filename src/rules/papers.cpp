#include "rules/papers.h"

#include <QDateTime>
#include <cmath>

#include "data/adoconn.h"
#include "data/formats.h"
#include "data/intransaction.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "rules/rulematch.h"

namespace papers {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");
const QString kNoSubject = QStringLiteral("无");
const QString kSubjectUndecided = QStringLiteral("不定");

QString Message(const char* utf8) {
    return QString::fromUtf8(utf8);
}

void AppendRecord(CADOConn& conn, const QString& table, const PaperRecord& record) {
    const codes::PaperColumns& p = record.columns;
    conn.ExecuteStatement(
        "insert into " + table + "(名称,科目," + qtype::Names().join(',') +
            ",总题数,满分,创建时间,科目选项,保存码) values(?,?,?,?,?,?,?,?,?,?,?,?)",
        schema::kQuestionsFile,
        {p.name, p.subject, p.single, p.judge, p.fill, p.multiple, p.essay, p.total, p.fullMarks,
         p.created, record.mode, codes::PaperCode(p)});
}

qint64 CountRows(const QString& sql, const QVariantList& params) {
    CADOConn conn;
    const RecordsetPtr rs = conn.OpenRecordset(sql, schema::kQuestionsFile, params);
    rs->MoveFirst();
    return rs->GetCollect("n").toLongLong();
}

// The five type columns of a record in storage order.
std::array<QString*, 5> TypeColumns(codes::PaperColumns& p) {
    return {&p.single, &p.judge, &p.fill, &p.multiple, &p.essay};
}

// The line of a target group's rules: group lines follow the "每题…分。" line.
int FindGroupLine(const QStringList& lines, const QString& group) {
    bool afterPoints = false;
    for (int i = 0; i < lines.size(); ++i) {
        if (afterPoints && lines[i].section(':', 0, 0) == group) return i;
        afterPoints = afterPoints || lines[i].startsWith(QStringLiteral("每题"));
    }
    return -1;
}

}  // namespace

bool IsPointsInput(const QString& text) {
    int dots = 0;
    for (const QChar c : text) {
        if (c == '.')
            ++dots;
        else if (c < '0' || c > '9')
            return false;
    }
    return dots <= 1;
}

QString CorrectPoints(const QString& text) {
    if (text.startsWith('.')) return QString();
    QString corrected = text;
    const qsizetype dot = corrected.indexOf('.');
    if (dot >= 0 && corrected.size() - dot - 1 > 1)
        corrected = FormatPoints(std::trunc(corrected.toDouble() * 10) / 10);
    if (corrected.size() > 1 && corrected.startsWith('0') && !corrected.startsWith("0."))
        corrected.remove(0, 1);
    return corrected;
}

int ReadDrawCount(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    const bool negative = trimmed.startsWith('-');
    if (negative || trimmed.startsWith('+')) ++i;
    qint64 value = 0;
    for (; i < trimmed.size() && trimmed[i] >= '0' && trimmed[i] <= '9'; ++i)
        value = std::min<qint64>(value * 10 + (trimmed[i].unicode() - '0'), 1000000000);
    return int(negative ? -value : value);
}

QString DrawCountRefusal(int count, const QString& available) {
    // A negative count draws nothing either.
    if (count <= 0) return Message("抽取题数不能为0！");
    if (available.isEmpty()) return Message("题数不能为空！");
    if (available.toInt() < count) return Message("抽取题数不能大于总题数！");
    return QString();
}

QString FormatPoints(double points) {
    return QString::asprintf("%.1f", points);
}

QString Subtotal(const QString& points, const QString& count) {
    if (points.isEmpty() || count.isEmpty()) return QString();
    return FormatPoints(ReadDrawCount(count) * points.toDouble());
}

RuleResult AddRule(const QString& ruleText, const RuleRequest& r) {
    const bool allSubjects = r.mode == kAllSubjects;
    if (r.group.isEmpty() || r.difficulty.isEmpty() || r.count.isEmpty() ||
        (!allSubjects && r.subject.isEmpty()))
        return {Message("数据不能为空！"), ruleText, 0};
    const int count = ReadDrawCount(r.count);
    if (count <= 0) return {Message("抽取题数不能为0！"), ruleText, 0};
    const QString entry = r.difficulty + '=' + QString::number(count) + ',';

    if (ruleText.isEmpty()) {
        if (r.points.isEmpty()) return {Message("数据不能为空！"), ruleText, 0};
        if (r.points.toDouble() == 0) return {Message("分值不能为0！"), ruleText, 0};
        QString text = allSubjects ? QString() : '<' + r.subject + '>' + kLineBreak;
        text += "每题" + FormatPoints(r.points.toDouble()) + "分。" + kLineBreak + r.group + ':' +
                entry + ';';
        return {QString(), text, count};
    }

    if (!allSubjects && ruleText.mid(1, ruleText.indexOf('>') - 1) != r.subject)
        return {Message("科目选择应该相同！"), ruleText, 0};
    // Groups are found by their whole name, so that a group whose name is part of the
    // subject or of another group's name is not mistaken for it.
    QStringList lines = ruleText.split(kLineBreak);
    const int line = FindGroupLine(lines, r.group);
    if (line < 0) return {QString(), ruleText + kLineBreak + r.group + ':' + entry + ';', count};
    const QStringList used = lines[line].section(':', 1).split(',', Qt::SkipEmptyParts);
    for (const QString& item : used)
        if (item.section('=', 0, 0) == r.difficulty)
            return {Message("一个对象同一难度只能选择一次！"), ruleText, 0};
    lines[line].insert(lines[line].size() - 1, entry);
    return {QString(), lines.join(kLineBreak), count};
}

QString StoredRule(const QString& ruleText) {
    if (ruleText.isEmpty()) return kEmptySection;
    QString stored = ruleText;
    stored.remove(kLineBreak);
    // Only a leading subject header goes; a 全科 text has none.
    const qsizetype header = stored.indexOf('>');
    if (stored.startsWith('<') && header >= 0) stored.remove(0, header + 1);
    return stored;
}

PaperRecord ComposePaper(const QString& name, const QString& mode, const QString& subject,
                         const Sections& sections, const QDateTime& now) {
    PaperRecord record;
    record.mode = mode;
    codes::PaperColumns& p = record.columns;
    p.name = name;
    p.subject = mode == kAllSubjects ? kNoSubject : subject;
    int questions = 0;
    double fullMarks = 0;
    const auto columns = TypeColumns(p);
    for (size_t t = 0; t < sections.size(); ++t) {
        questions += sections[t].questions;
        fullMarks += sections[t].total.toDouble();
        *columns[t] = StoredRule(sections[t].ruleText);
    }
    p.total = QString::number(questions);
    p.fullMarks = FormatPoints(fullMarks);
    p.created = FormatCreationTime(now);
    return record;
}

bool HasNoRules(const PaperRecord& record) {
    codes::PaperColumns p = record.columns;
    for (const QString* column : TypeColumns(p))
        if (*column != kEmptySection) return false;
    return true;
}

QString AvailableQuestions(const QString& type, const QString& mode, const QString& subject,
                           const QString& group, const QString& difficulty) {
    const bool allSubjects = mode == kAllSubjects;
    if (group.isEmpty() || difficulty.isEmpty() || (!allSubjects && subject.isEmpty()))
        return QString();
    if (!qtype::Names().contains(type)) return QString();
    const assembly::RuleMatch match =
        assembly::MatchRule(type, allSubjects ? QString() : subject, {group, difficulty, 0});
    return QString::number(CountRows(match.CountStatement(), match.params));
}

bool PaperNameTaken(const QString& name) {
    return CountRows("select count(*) as n from exampaper where 名称=?", {name}) > 0;
}

int SavedSubjects(const QString& name) {
    return int(CountRows("select count(*) as n from testpaper where 名称=?", {name}));
}

bool SubjectComposed(const QString& name, const QString& subject) {
    return CountRows("select count(*) as n from testpaper where 名称=? and 科目=?",
                     {name, subject}) > 0;
}

void StorePaper(const PaperRecord& record, bool firstSubject) {
    InTransaction(schema::kQuestionsFile, [&](CADOConn& conn) {
        const bool multi = record.mode == kMultiSubject;
        if (multi && firstSubject)
            conn.ExecuteStatement("delete from testpaper where 名称=? and not exists "
                                  "(select 1 from exampaper where exampaper.名称=testpaper.名称)",
                                  schema::kQuestionsFile, {record.columns.name});
        AppendRecord(conn, multi ? QStringLiteral("testpaper") : QStringLiteral("exampaper"),
                     record);
    });
}

void DiscardSubjects(const QString& name) {
    InTransaction(schema::kQuestionsFile, [&](CADOConn& conn) {
        conn.ExecuteStatement("delete from testpaper where 名称=?", schema::kQuestionsFile,
                              {name});
    });
}

PaperRecord CompleteMultiSubject(const QString& name, const QDateTime& now) {
    return InTransaction(schema::kQuestionsFile, [&](CADOConn& conn) {
        const RecordsetPtr subjects = conn.OpenRecordset("select * from testpaper where 名称=?",
                                                         schema::kQuestionsFile, {name});
        PaperRecord record;
        record.mode = kMultiSubject;
        codes::PaperColumns& p = record.columns;
        p.name = name;
        p.subject = kSubjectUndecided;
        const QStringList types = qtype::Names();
        std::array<int, 5> withRules{};
        int questions = 0;
        double fullMarks = 0;
        for (; !subjects->IsEOF(); subjects->MoveNext()) {
            questions += subjects->GetText("总题数").toInt();
            fullMarks += subjects->GetText("满分").toDouble();
            for (int t = 0; t < types.size(); ++t)
                if (subjects->GetText(types[t]) != kEmptySection) ++withRules[size_t(t)];
        }
        const auto columns = TypeColumns(p);
        for (int t = 0; t < types.size(); ++t)
            *columns[size_t(t)] =
                withRules[size_t(t)] > 0
                    ? types[t] + QStringLiteral("包含%1个科目").arg(withRules[size_t(t)])
                    : kEmptySection;
        if (subjects->RecordCount() > 0) {
            p.total = QString::number(questions);
            p.fullMarks = FormatPoints(fullMarks);
        }
        p.created = FormatCreationTime(now);
        AppendRecord(conn, QStringLiteral("exampaper"), record);
        return record;
    });
}

std::vector<ListedPaper> ListPapers() {
    CADOConn conn;
    const RecordsetPtr rs = conn.OpenRecordset("select * from exampaper", schema::kQuestionsFile);
    std::vector<ListedPaper> papers;
    for (; !rs->IsEOF(); rs->MoveNext()) {
        ListedPaper paper;
        paper.id = rs->GetCollect("ID").toLongLong();
        for (const QString& column :
             QStringList{"名称"} + qtype::Names() + QStringList{"总题数", "满分", "创建时间"})
            paper.cells << rs->GetText(column);
        paper.intact = codes::PaperIntact(*rs);
        papers.push_back(paper);
    }
    return papers;
}

QStringList PaperSections(qlonglong id) {
    CADOConn conn;
    const RecordsetPtr rs =
        conn.OpenRecordset("select * from exampaper where ID=?", schema::kQuestionsFile, {id});
    QStringList sections;
    if (rs->RecordCount() == 0) return sections;
    for (const QString& type : qtype::Names()) sections << rs->GetText(type);
    return sections;
}

void DeletePaper(qlonglong id) {
    InTransaction(schema::kQuestionsFile, [&](CADOConn& conn) {
        const RecordsetPtr rs =
            conn.OpenRecordset("select * from exampaper where ID=?", schema::kQuestionsFile, {id});
        if (rs->RecordCount() == 0) return;
        const QString name = rs->GetText("名称");
        const bool multi = rs->GetText("科目选项") == kMultiSubject;
        conn.ExecuteStatement("delete from exampaper where ID=?", schema::kQuestionsFile, {id});
        if (multi)
            conn.ExecuteStatement("delete from testpaper where 名称=?", schema::kQuestionsFile,
                                  {name});
    });
}

}  // namespace papers
