#include "rules/assembly.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "data/adoconn.h"
#include "data/schema.h"

namespace assembly {
namespace {

const QString kAllSubjects = QStringLiteral("无");
const QString kMultiSubject = QStringLiteral("多科");
constexpr int kMaxItemsPerGroup = 3;

// The bank columns a drawn question carries into the pool, in the order they are written.
const QStringList& PoolColumns() {
    static const QStringList columns = {"科目", "题型", "题干", "答案", "A",    "B",
                                        "C",    "D",    "E",    "难度", "对象", "图片"};
    return columns;
}

void CopyUnlessNull(const CRecordset& from, CRecordset& to, const QString& column) {
    const QVariant value = from.GetCollect(column);
    if (value.isValid()) to.PutCollect(column, value);
}

std::optional<DrawItem> ParseItem(const QString& group, const QString& entry) {
    const qsizetype equals = entry.indexOf('=');
    if (equals <= 0) return std::nullopt;
    // The paper screen takes any text for the essay count and reads its leading
    // digits ("2题" and "2.5" are 2); only a count without them breaks the rule.
    const QString countText = entry.mid(equals + 1).trimmed();
    qsizetype digits = 0;
    while (digits < countText.size() && digits < 9 && countText[digits] >= '0' &&
           countText[digits] <= '9')
        ++digits;
    const int count = countText.left(digits).toInt();
    if (count <= 0) return std::nullopt;
    return DrawItem{group, entry.left(equals), count};
}

QString SubjectFilter(const QString& subject) {
    return subject == QStringLiteral("全科") ? kAllSubjects : subject;
}

// One rule row of a paper, parsed before anything is drawn, so that a broken rule
// leaves the tables untouched.
struct RuleRow {
    QString subjectFilter;
    QList<SectionRules> sections;  // in the order of schema::QuestionTypes()
};

}  // namespace

MersenneRandom::MersenneRandom() {
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device(), device(), device()};
    m_engine.seed(seed);
}

std::uint64_t MersenneRandom::Below(std::uint64_t bound) {
    return std::uniform_int_distribution<std::uint64_t>(0, bound - 1)(m_engine);
}

std::vector<qint64> RandomIndexes(qint64 t, qint64 n, RandomSource& random) {
    n = std::min(n, t);
    if (n <= 0) return {};
    // Fisher–Yates over 0 … t−1, stopped after n steps. Only the swapped positions are
    // remembered, so a draw of a few rows from a large bank stays small.
    std::unordered_map<qint64, qint64> swapped;
    auto valueAt = [&swapped](qint64 position) {
        const auto it = swapped.find(position);
        return it == swapped.end() ? position : it->second;
    };
    std::vector<qint64> picked;
    picked.reserve(std::size_t(n));
    for (qint64 i = 0; i < n; ++i) {
        const qint64 j = i + qint64(random.Below(std::uint64_t(t - i)));
        const qint64 chosen = valueAt(j);
        swapped[j] = valueAt(i);
        picked.push_back(chosen);
    }
    return picked;
}

std::optional<SectionRules> ParseSection(const QString& ruleText) {
    SectionRules rules;
    if (ruleText.isEmpty() || ruleText == QStringLiteral("空")) return rules;

    const QString head = QStringLiteral("每题");
    const QString unit = QStringLiteral("分");
    const qsizetype stop = ruleText.indexOf(QStringLiteral("。"));
    if (stop < 0 || !ruleText.startsWith(head)) return std::nullopt;
    QString pointsText = ruleText.mid(head.size(), stop - head.size());
    if (!pointsText.endsWith(unit)) return std::nullopt;
    pointsText.chop(unit.size());
    bool isNumber = false;
    rules.points = pointsText.toDouble(&isNumber);
    if (!isNumber || !std::isfinite(rules.points)) return std::nullopt;

    QString rest = ruleText.mid(stop + 1);
    if (rest.isEmpty()) return std::nullopt;
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf(';');
        if (end < 0) return std::nullopt;
        const QString segment = rest.left(end);
        rest.remove(0, end + 1);

        const qsizetype colon = segment.indexOf(':');
        if (colon <= 0 || !segment.endsWith(',')) return std::nullopt;
        const QString group = segment.left(colon);
        const QStringList entries = segment.mid(colon + 1).chopped(1).split(',');
        if (entries.size() > kMaxItemsPerGroup) return std::nullopt;
        for (const QString& entry : entries) {
            const auto item = ParseItem(group, entry);
            if (!item) return std::nullopt;
            rules.items.append(*item);
        }
    }
    return rules;
}

bool DrawRule(CADOConn& bank, CRecordset& pool, const QString& type, const QString& subjectFilter,
              const DrawItem& item, double points, RandomSource& random, Pictures pictures) {
    // Only the keys of the matching rows are read; the chosen rows are fetched one by one,
    // which keeps a draw from a large bank quick.
    QString sql = "select ID from " + type + " where 题型=?";
    QVariantList params = {type};
    if (subjectFilter != kAllSubjects) {
        sql += QStringLiteral(" and 科目=?");
        params << subjectFilter;
    }
    sql += QStringLiteral(" and 对象=? and 难度=?");
    params << item.group << item.difficulty;
    if (pictures == Pictures::Excluded) sql += QStringLiteral(" and 图片 is null");
    std::vector<qint64> keys;
    bank.ForEachRow(sql, schema::kQuestionsFile, params,
                    [&keys](const CRowReader& row) { keys.push_back(row.Integer("ID")); });
    // In key order, as the table lists them: the same random numbers pick the same rows
    // whichever index served the query.
    if (!std::is_sorted(keys.begin(), keys.end())) std::sort(keys.begin(), keys.end());
    const qint64 available = qint64(keys.size());
    if (available == 0 || available < item.count) return false;

    const QString rowSql = "select * from " + type + " where ID=?";
    for (const qint64 index : RandomIndexes(available, item.count, random)) {
        const RecordsetPtr question =
            bank.OpenRecordset(rowSql, schema::kQuestionsFile, {keys[size_t(index)]});
        pool.AddNew();
        for (const QString& column : PoolColumns()) CopyUnlessNull(*question, pool, column);
        pool.PutCollect("分值", points);
        pool.Update();
    }
    return true;
}

CopiedSection CopySection(CADOConn& personnel, const QString& type, int firstNumber,
                          RandomSource& random) {
    const RecordsetPtr exam = personnel.OpenRecordset("select * from exam", schema::kPersonnelFile);
    const RecordsetPtr pool = personnel.OpenRecordset("select * from interim where 题型=?",
                                                      schema::kPersonnelFile, {type});
    CopiedSection copied;
    const qint64 drawn = pool->RecordCount();
    int number = firstNumber;
    for (const qint64 index : RandomIndexes(drawn, drawn, random)) {
        pool->MoveFirst();
        pool->Move(long(index));
        exam->AddNew();
        for (const char* column : {"科目", "题型", "题干"}) CopyUnlessNull(*pool, *exam, column);
        copied.answerKey += pool->GetText("答案") + '|';
        for (const char* column : {"A", "B", "C", "D", "E", "分值", "图片"})
            CopyUnlessNull(*pool, *exam, column);
        exam->PutCollect("编号", number++);
        exam->Update();
    }
    copied.count = int(drawn);
    return copied;
}

AssemblyResult AssemblePaper(const QString& subjectMode, const QString& paperName,
                             RandomSource& random) {
    return RetryConflicts([&]() -> AssemblyResult {
        const QStringList types = schema::QuestionTypes();
        CADOConn bank;
        const QString table = subjectMode == kMultiSubject ? "testpaper" : "exampaper";
        const RecordsetPtr source = bank.OpenRecordset("select * from " + table + " where 名称=?",
                                                       schema::kQuestionsFile, {paperName});
        if (source->RecordCount() == 0) return {Outcome::NoRules, {}, {}};

        std::vector<RuleRow> plan;
        for (; !source->IsEOF(); source->MoveNext()) {
            RuleRow row{SubjectFilter(source->GetText("科目")), {}};
            for (const QString& type : types) {
                const auto rules = ParseSection(source->GetText(type));
                if (!rules) return {Outcome::BrokenRule, {}, type};
                row.sections.append(*rules);
            }
            plan.push_back(std::move(row));
        }

        CADOConn personnel;
        if (!personnel.OpenDatabase(schema::kPersonnelFile))
            throw DatabaseError("personnel.mdb cannot be opened");
        CTransaction transaction(personnel);
        // Without the transaction each write would stand alone: draw nothing instead.
        if (!transaction.IsActive())
            throw DatabaseError("personnel.mdb is busy: nothing was drawn");
        const RecordsetPtr pool =
            personnel.OpenRecordset("select * from interim", schema::kPersonnelFile);
        for (const RuleRow& row : plan) {
            for (int t = 0; t < types.size(); ++t) {
                const SectionRules& rules = row.sections[t];
                for (const DrawItem& item : rules.items) {
                    if (!DrawRule(bank, *pool, types[t], row.subjectFilter, item, rules.points,
                                  random))
                        return {Outcome::BankTooSmall, {}, types[t]};
                }
            }
        }

        AssemblyResult result;
        int nextNumber = 1;
        for (const QString& type : types) {
            const CopiedSection copied = CopySection(personnel, type, nextNumber, random);
            result.answerKey += copied.answerKey;
            nextNumber += copied.count;
        }
        if (!transaction.Commit()) throw DatabaseError("the drawn paper could not be stored");
        return result;
    });
}

QString OutcomeMessage(const AssemblyResult& result) {
    switch (result.outcome) {
        case Outcome::NoRules:
            return QStringLiteral("还没有组卷，无法考试！");
        case Outcome::BankTooSmall:
            return "题库中“" + result.type + "”数量不符合考卷要求，退出程序！";
        case Outcome::BrokenRule:
            return "本次考试的试卷中“" + result.type + "”的组卷规则有误,无法进行考试！";
        case Outcome::Assembled:
            break;
    }
    return QString();
}

}  // namespace assembly
