#include "rules/printedpaper.h"

#include <QDir>
#include <QFile>
#include <vector>

#include "data/adoconn.h"
#include "data/intransaction.h"
#include "data/schema.h"

namespace printed {
namespace {

const QString& File() {
    return schema::kQuestionsFile;
}

// The printed paper's scratch tables: the pool has no picture column, and the paper
// keeps the reference answers.
const char* const kCreatePool =
    "create table interim(ID AUTOINCREMENT PRIMARY KEY,科目 TEXT(255),题型 TEXT(255),\t\t\t\t"
    "题干 TEXT(255),答案 TEXT(255),A TEXT(255),B TEXT(255),C TEXT(255),\t\t\t\t"
    "D TEXT(255),E TEXT(255),分值 TEXT(255),难度 TEXT(255),对象 TEXT(255))";
const char* const kDropPool = "Drop Table interim";
const char* const kCreatePaper =
    "create table exam(ID AUTOINCREMENT PRIMARY KEY,编号 INT,\t\t\t\t"
    "题型 TEXT(255),题干 TEXT(255),答案 TEXT(255),A TEXT(255),\t\t\t\t"
    "B TEXT(255),C TEXT(255),D TEXT(255),E TEXT(255),分值 TEXT(255))";
const char* const kDropPaper = "Drop Table exam";

const QStringList kOptionColumns = {"A", "B", "C", "D", "E"};

struct RuleRow {
    QString subjectFilter;
    QList<assembly::SectionRules> sections;  // in the order of schema::QuestionTypes()
    double fullMarks = 0;
};

void CopyUnlessNull(const CRecordset& from, CRecordset& to, const QString& column) {
    const QVariant value = from.GetCollect(column);
    if (value.isValid()) to.PutCollect(column, value);
}

// One type's pool rows into the paper table in random order, numbered from `number` on.
int CopyPrintedSection(CADOConn& conn, const QString& type, int number,
                       assembly::RandomSource& random) {
    const RecordsetPtr paper = conn.OpenRecordset("select * from exam", File());
    const RecordsetPtr pool =
        conn.OpenRecordset("select * from interim where 题型=?", File(), {type});
    const qint64 drawn = pool->RecordCount();
    for (const qint64 index : assembly::RandomIndexes(drawn, drawn, random)) {
        pool->MoveFirst();
        pool->Move(long(index));
        paper->AddNew();
        for (const QString& column : QStringList{"题型", "题干", "答案"} + kOptionColumns)
            CopyUnlessNull(*pool, *paper, column);
        CopyUnlessNull(*pool, *paper, "分值");
        paper->PutCollect("编号", number++);
        paper->Update();
    }
    return int(drawn);
}

QList<Question> SectionQuestions(CADOConn& conn, const QString& type) {
    const RecordsetPtr rows =
        conn.OpenRecordset("select * from exam where 题型=? order by 编号", File(), {type});
    QList<Question> questions;
    for (; !rows->IsEOF(); rows->MoveNext()) {
        Question q{rows->GetText("题干"), {}, rows->GetText("分值"), rows->GetText("答案")};
        for (const QString& column : kOptionColumns) q.options << rows->GetText(column);
        questions.append(q);
    }
    return questions;
}

}  // namespace

void CreateEmptyPool() {
    CADOConn conn;
    schema::RecreateScratchTable(conn, File(), kCreatePool, kDropPool);
}

void DropPool() {
    CADOConn conn;
    conn.ExecuteStatement(kDropPool, File());
}

DrawnPaper DrawPaper(const QString& paperName, assembly::RandomSource& random) {
    const QStringList types = schema::QuestionTypes();
    CADOConn conn;
    if (!conn.OpenDatabase(File())) throw conn.LastFailure();
    const RecordsetPtr mode =
        conn.OpenRecordset("select 科目选项 as A from exampaper where 名称=?", File(), {paperName});
    const bool multiSubject = !mode->IsEOF() && mode->GetText("A") == QStringLiteral("多科");
    const RecordsetPtr source = conn.OpenRecordset(
        QString(multiSubject ? "select * from testpaper" : "select * from exampaper") +
            " where 名称=?",
        File(), {paperName});

    // Every rule is read before anything is drawn, so that a broken one changes nothing.
    std::vector<RuleRow> plan;
    for (; !source->IsEOF(); source->MoveNext()) {
        const QString subject = source->GetText("科目");
        RuleRow row{subject == QStringLiteral("全科") ? QStringLiteral("无") : subject,
                    {},
                    LeadingNumber(source->GetText("满分"))};
        for (const QString& type : types) {
            const auto rules = assembly::ParseSection(source->GetText(type));
            if (!rules) return {Outcome::BrokenRule, type, 0, {}};
            row.sections.append(*rules);
        }
        plan.push_back(std::move(row));
    }

    DrawnPaper paper = InTransaction(File(), [&](CADOConn& scratch, CTransaction& transaction) {
        DrawnPaper drawn;
        // Every generation starts from an empty pool: what an earlier one drew is not printed
        // again.
        schema::RecreateScratchTable(scratch, File(), kCreatePool, kDropPool);
        const RecordsetPtr pool = scratch.OpenRecordset("select * from interim", File());
        for (const RuleRow& row : plan) {
            for (int t = 0; t < types.size(); ++t) {
                for (const assembly::DrawItem& item : row.sections[t].items) {
                    if (!assembly::DrawRule(scratch, *pool, types[t], row.subjectFilter, item,
                                            row.sections[t].points, random,
                                            assembly::Pictures::Excluded)) {
                        transaction.Rollback();
                        return DrawnPaper{Outcome::BankTooSmall, types[t], 0, {}};
                    }
                }
            }
            drawn.fullMarks += row.fullMarks;
        }

        schema::RecreateScratchTable(scratch, File(), kCreatePaper, kDropPaper);
        int number = 1;
        for (const QString& type : types)
            number += CopyPrintedSection(scratch, type, number, random);
        for (const QString& type : types)
            drawn.sections.append(LayoutSection(type, SectionQuestions(scratch, type)));
        scratch.ExecuteStatement(kDropPaper, File());
        return drawn;
    });
    if (paper.outcome != Outcome::Drawn) return paper;
    NumberSections(paper.sections);
    return paper;
}

QString OutcomeMessage(const DrawnPaper& paper) {
    switch (paper.outcome) {
        case Outcome::BankTooSmall:
            return "题库中“" + paper.type + "”数量不符合考卷要求，退出程序！";
        case Outcome::BrokenRule:
            return "试卷中“" + paper.type + "”的组卷规则有误，无法生成考卷！";
        case Outcome::Drawn:
            break;
    }
    return QString();
}

QList<docx::BookmarkFill> DocumentFills(const PaperForm& form, const DrawnPaper& paper) {
    QString questions, answers;
    for (const SectionText& section : paper.sections) {
        questions += section.questions;
        answers += section.answers;
    }
    using docx::Alignment;
    return {
        {"mark1", form.title, true, 20, Alignment::Centre},
        {"mark2", ExamineeLine(), false, 0, Alignment::Right},
        {"mark3", MarksLine(paper.fullMarks, form.minutes, form.passMark), true, 0,
         Alignment::Keep},
        {"mark4", questions, false, 0, Alignment::Keep},
        {"mark5", AnswerKeyHeading(), true, 0, Alignment::Keep},
        {"mark6", answers, false, 0, Alignment::Keep},
    };
}

QString NewDocumentPath(const QString& folder, const QString& title) {
    QString base = title.trimmed();
    // Characters no file name may hold on the desktops the document travels to.
    for (QChar& c : base)
        if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c)) c = '_';
    if (base.isEmpty() || base.startsWith('.')) base.prepend(QStringLiteral("考卷"));
    const QDir dir(folder);
    QString path = dir.filePath(base + ".docx");
    for (int n = 2; QFile::exists(path); ++n)
        path = dir.filePath(base + "(" + QString::number(n) + ").docx");
    return path;
}

}  // namespace printed
