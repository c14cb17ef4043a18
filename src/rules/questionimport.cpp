#include "rules/questionimport.h"

#include "data/adoconn.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "data/workbook.h"
#include "rules/names.h"

namespace question_import {
namespace {

int OptionCount(const QString& type) {
    if (qtype::Is(type, QuestionType::Single) || qtype::Is(type, QuestionType::Multiple)) return 5;
    if (qtype::Is(type, QuestionType::TrueFalse)) return 2;
    return 0;
}

// The sheet row as the spreadsheet program numbers it.
QString AtRow(const WorksheetRow& row, const QString& refusal) {
    return QStringLiteral("第%1行：").arg(row.number + 1) + refusal;
}

}  // namespace

QStringList TitlesOf(const QString& type) {
    QStringList titles = {"科目", "题型", "题干", "答案"};
    const QStringList letters = {"A", "B", "C", "D", "E"};
    titles << letters.mid(0, OptionCount(type)) << "难度"
           << "对象";
    return titles;
}

QString TitleRefusal(const QString& type) {
    return "Excel" + type + QStringLiteral("表没有按照模板要求输入，导入失败！");
}

QString Prompt() {
    return QStringLiteral(
        "    1、questions.xls必须要有按模板要求填写，\n\n"
        "并且Excel表不能存在空行。\n\n"
        "    2、题库数量大时，可能需要几分钟，请稍等。\n\n"
        "\t      确定要导入题库吗？");
}

Plan PlanImport(const Worksheet& sheet, const QString& type) {
    Plan plan;
    const QStringList titles = TitlesOf(type);
    if (!qtype::Names().contains(type) || sheet.header != titles) {
        plan.refusal = TitleRefusal(type);
        return plan;
    }
    const int options = OptionCount(type);
    const int difficulty = 4 + options, group = 5 + options;
    for (const WorksheetRow& row : sheet.rows) {
        bool complete = row.Has(difficulty) && row.Has(group);
        for (int c = 0; c < 4; ++c) complete = complete && row.Has(c);
        if (!complete) continue;
        Question q;
        q.subject = row.Cell(0);
        q.type = row.Cell(1);
        q.stem = row.Cell(2);
        q.answer = row.Cell(3);
        if (!qtype::Is(type, QuestionType::Essay)) q.answer.remove(' ');
        if (q.answer.contains('|'))
            return Plan{AtRow(row, QStringLiteral("题目答案中不能含有'|'！")), {}};
        for (int o = 0; o < options; ++o) {
            const QString option = row.Has(4 + o) ? row.Cell(4 + o) : QString();
            if (option.contains('|'))
                return Plan{AtRow(row, QStringLiteral("题目答案选项中不能含有'|'！")), {}};
            q.options << option;
        }
        q.difficulty = row.Cell(difficulty);
        q.group = row.Cell(group);
        const QString refusal = names::QuestionRefusal(q.subject, q.group);
        if (!refusal.isEmpty()) return Plan{AtRow(row, refusal), {}};
        plan.rows.push_back(std::move(q));
    }
    if (plan.rows.empty()) plan.refusal = QStringLiteral("导入表格无数据！");
    return plan;
}

Outcome StoreQuestions(const QString& type, const std::vector<Question>& rows,
                       const std::function<void(int stored)>& progress) {
    Outcome outcome;
    if (!qtype::Names().contains(type)) {
        outcome.error = QStringLiteral("未知的题型“%1”").arg(type);
        return outcome;
    }
    const QString file = schema::kQuestionsFile;
    const QStringList removals = {"delete from " + type + " where id not in(select min(id) from " +
                                      type + " group by 科目,题型,题干,答案,难度,对象)",
                                  "delete from " + type + " where 题型 is null"};
    return import_workbook::StoreInOneTransaction(
        file, type, int(rows.size()),
        [&](CADOConn& conn) {
            // Only appended to: the rows already in the bank need not be read.
            auto rs = conn.OpenRecordset("select * from " + type + " where 1=0", file);
            const QStringList letters = {"A", "B", "C", "D", "E"};
            int stored = 0;
            for (const Question& q : rows) {
                rs->AddNew();
                rs->PutCollect("科目", q.subject);
                rs->PutCollect("题型", q.type);
                rs->PutCollect("题干", q.stem);
                rs->PutCollect("答案", q.answer);
                for (int o = 0; o < q.options.size(); ++o)
                    if (!q.options[o].isNull()) rs->PutCollect(letters[o], q.options[o]);
                rs->PutCollect("难度", q.difficulty);
                rs->PutCollect("对象", q.group);
                rs->Update();
                if (progress && ++stored % 500 == 0) progress(stored);
            }
        },
        [&](CADOConn& conn) {
            for (const QString& sql : removals) conn.ExecuteStatement(sql, file);
        });
}

}  // namespace question_import
