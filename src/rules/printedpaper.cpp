#include "rules/printedpaper.h"

#include <QDir>
#include <QFile>
#include <vector>

#include "data/adoconn.h"
#include "data/intransaction.h"
#include "data/questiontype.h"
#include "data/schema.h"

namespace printed {
namespace {

const QString& File() {
    return schema::kQuestionsFile;
}

const char* const kOptionColumns[] = {"A", "B", "C", "D", "E"};

struct RuleRow {
    QString subjectFilter;
    QList<assembly::SectionRules> sections;  // in the order of qtype::Names()
    double fullMarks = 0;
};

// One type's drawn questions in random order.
QList<Question> SectionQuestions(CADOConn& conn, const QString& type,
                                 assembly::RandomSource& random) {
    QList<Question> drawn;
    conn.ForEachRow("select * from interim where 题型=? order by ID", File(), {type},
                    [&drawn](const CRowReader& row) {
                        Question q{row.Text("题干"), {}, row.Text("分值"), row.Text("答案")};
                        for (const char* column : kOptionColumns) q.options << row.Text(column);
                        drawn.append(q);
                    });
    QList<Question> shuffled;
    for (const qint64 index : assembly::RandomIndexes(drawn.size(), drawn.size(), random))
        shuffled.append(drawn[index]);
    return shuffled;
}

}  // namespace

void CreateEmptyPool() {
    CADOConn conn;
    conn.ExecuteIfPossible(schema::kDropInterim, File());
    conn.ExecuteIfPossible(schema::kCreateInterim, File());
}

void DropPool() {
    CADOConn conn;
    conn.ExecuteIfPossible(schema::kDropInterim, File());
}

DrawnPaper DrawPaper(const QString& paperName, assembly::RandomSource& random) {
    const QStringList types = qtype::Names();
    CADOConn conn;
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
        schema::RecreateScratchTable(scratch, File(), schema::kCreateInterim, schema::kDropInterim);
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

        for (const QString& type : types)
            drawn.sections.append(LayoutSection(type, SectionQuestions(scratch, type, random)));
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
