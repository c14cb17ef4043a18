#include "rules/assembly.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>
#include <unordered_set>

#include "data/adoconn.h"
#include "data/intransaction.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "rules/answers.h"
#include "rules/batchinsert.h"
#include "rules/paperinprogress.h"
#include "rules/rulematch.h"

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
    QList<SectionRules> sections;  // in the order of qtype::Names()
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

namespace {

// A rule matching at most about this many rows draws from the list of their keys; a larger
// one guesses keys (see ProbeKeys), which costs the same whatever the bank's size.
constexpr qint64 kListedAtMost = 20000;

// A statement reads the rows of at most this many keys, well below both engines' limits on
// bound values.
constexpr size_t kKeysPerStatement = 512;

// " in (?,…)" over up to kKeysPerStatement keys from `first` on, the keys appended to
// `params`. The list is padded with its last key to a power of two (16 at least): each
// engine then prepares a handful of statements, not one for every length.
QString KeyList(const std::vector<qint64>& keys, size_t first, QVariantList& params) {
    const size_t count = std::min(keys.size() - first, kKeysPerStatement);
    size_t length = 16;
    while (length < count) length *= 2;
    QString list = QStringLiteral(" in (?");
    list.reserve(int(6 + 2 * length));
    for (size_t i = 0; i < length; ++i) {
        if (i) list += QStringLiteral(",?");
        params << keys[first + std::min(i, count - 1)];
    }
    return list + ')';
}

// Draws by guessing keys between the table's first and last ID and keeping those that match
// and are new: each kept key is equally likely to be any matching row, so the draw is as
// fair as one from the full list. Empty when the guesses run out or when the first round of
// them finds the rule matching no more than about kListedAtMost rows. The guesses go out in
// rounds, each round's keys read by one statement, so that a draw costs a few round trips
// to a server rather than one per guess.
std::vector<qint64> ProbeKeys(CADOConn& bank, const RuleMatch& match, int count,
                              RandomSource& random) {
    const QString& type = match.table;
    // Guesses before the draw gives up and reads every matching key instead.
    const qint64 budget = 4 * qint64(count) + 64;
    qint64 first = 0, last = -1;
    // One aggregate a subquery, so that each is read from the end of the key.
    bank.ForEachRow(
        "select (select min(ID) from " + type + ") as lo, (select max(ID) from " + type + ") as hi",
        schema::kQuestionsFile, {}, [&](const CRowReader& row) {
            if (row.IsNull("lo")) return;
            first = row.Integer("lo");
            last = row.Integer("hi");
        });
    // A table of few keys is listed; a key range too short for the draw is no reason to guess
    // until the budget runs out.
    const qint64 span = last - first + 1;
    if (span <= kListedAtMost || span < count) return {};
    // The rows are found by their keys alone and their columns compared here: a server
    // planning the statement once might otherwise walk the rule's index instead of the key.
    const QString probeSql = "select ID,题型,科目,对象,难度,图片 from " + type + " where ID";
    std::unordered_set<qint64> kept;
    std::vector<qint64> keys;
    qint64 guessed = 0;
    while (guessed < budget && int(keys.size()) < count) {
        // As many guesses as the hits so far promise to fill the draw, with a margin; the
        // first round hopes for nearly every guess to hit, as in a bank of one kind.
        const qint64 missing = count - qint64(keys.size());
        const qint64 wanted =
            guessed == 0 ? missing + missing / 4 + 8
                         : missing * guessed / std::max<qint64>(qint64(keys.size()), 1) * 5 / 4 + 8;
        const qint64 round = std::min({wanted, budget - guessed, qint64(kKeysPerStatement)});
        std::vector<qint64> guesses;
        for (qint64 i = 0; i < round; ++i)
            guesses.push_back(first + qint64(random.Below(std::uint64_t(span))));
        guessed += round;
        std::unordered_set<qint64> matching;
        qint64 hits = 0;
        QVariantList params;
        const QString sql = probeSql + KeyList(guesses, 0, params);
        bank.ForEachRow(sql, schema::kQuestionsFile, params, [&](const CRowReader& row) {
            if (match.Accepts(row.Text(1), row.Text(2), row.Text(3), row.Text(4), !row.IsNull(5)))
                matching.insert(row.Integer("ID"));
        });
        // In the order guessed, as if each guess had been looked up alone.
        for (const qint64 key : guesses) {
            if (!matching.count(key)) continue;
            ++hits;
            if (int(keys.size()) < count && kept.insert(key).second) keys.push_back(key);
        }
        // The share of hits tells roughly how many rows match: few are quicker listed. Which
        // rows were hit plays no part, so the choice leaves every draw equally likely.
        if (guessed == round && double(hits) / double(round) * double(span) <= kListedAtMost)
            return {};
    }
    if (int(keys.size()) < count) return {};
    return keys;
}

// The keys of the matching rows in key order.
std::vector<qint64> MatchingKeys(CADOConn& bank, const RuleMatch& match) {
    std::vector<qint64> keys;
    bank.ForEachRow(match.KeysStatement(), schema::kQuestionsFile, match.params,
                    [&keys](const CRowReader& row) { keys.push_back(row.Integer("ID")); });
    // In key order, as the table lists them: the same random numbers pick the same rows
    // whichever index served the query.
    if (!std::is_sorted(keys.begin(), keys.end())) std::sort(keys.begin(), keys.end());
    return keys;
}

std::vector<qint64> PickKeys(const std::vector<qint64>& keys, int count, RandomSource& random) {
    if (keys.empty() || qint64(keys.size()) < count) return {};
    std::vector<qint64> picked;
    for (const qint64 index : RandomIndexes(qint64(keys.size()), count, random))
        picked.push_back(keys[size_t(index)]);
    return picked;
}

// Where a rule's drawn rows go, in the order drawn: each bank row with its key.
using RowSink = std::function<void(const CRecordset& question, qint64 key)>;

// DrawRule's draw; false, with nothing taken, when the bank holds too few matching rows.
bool DrawRows(CADOConn& bank, const QString& type, const QString& subjectFilter,
              const DrawItem& item, RandomSource& random, Pictures pictures, const RowSink& take) {
    // Only keys are read while choosing; the chosen rows are fetched afterwards by their keys,
    // which keeps a draw from a large bank quick.
    const RuleMatch match =
        MatchRule(type, subjectFilter == kAllSubjects ? QString() : subjectFilter, item, pictures);
    std::vector<qint64> chosen = ProbeKeys(bank, match, item.count, random);
    if (chosen.empty()) chosen = PickKeys(MatchingKeys(bank, match), item.count, random);
    if (chosen.empty()) return false;

    // The chosen rows, a statement for each kKeysPerStatement of them; a row deleted since it
    // was chosen leaves the bank short.
    std::vector<RecordsetPtr> fetched;
    QHash<qint64, std::pair<CRecordset*, long>> rowOfKey;
    for (size_t from = 0; from < chosen.size(); from += kKeysPerStatement) {
        QVariantList bound;
        const QString sql = "select * from " + type + " where ID" + KeyList(chosen, from, bound);
        fetched.push_back(bank.OpenRecordset(sql, schema::kQuestionsFile, bound));
        CRecordset& rows = *fetched.back();
        for (long row = 0; !rows.IsEOF(); rows.MoveNext(), ++row)
            rowOfKey.insert(rows.GetCollect("ID").toLongLong(), {&rows, row});
    }
    if (rowOfKey.size() < qsizetype(chosen.size())) return false;

    for (const qint64 key : chosen) {
        const auto [question, row] = rowOfKey.value(key);
        question->MoveFirst();
        question->Move(row);
        take(*question, key);
    }
    return true;
}

}  // namespace

bool DrawRule(CADOConn& bank, CRecordset& pool, const QString& type, const QString& subjectFilter,
              const DrawItem& item, double points, RandomSource& random, Pictures pictures) {
    return DrawRows(bank, type, subjectFilter, item, random, pictures,
                    [&](const CRecordset& question, qint64 key) {
                        pool.AddNew();
                        for (const QString& column : PoolColumns())
                            CopyUnlessNull(question, pool, column);
                        pool.PutCollect("分值", points);
                        pool.PutCollect("题目编号", key);
                        pool.Update();
                    });
}

CopiedSection CopySection(CADOConn& personnel, const QString& type, int firstNumber,
                          RandomSource& random) {
    const RecordsetPtr pool = personnel.OpenRecordset("select * from interim where 题型=?",
                                                      schema::kPersonnelFile, {type});
    static const QStringList columns = {"科目", "题型", "题干", "A",    "B",        "C",
                                        "D",    "E",    "分值", "图片", "题目编号", "编号"};
    CopiedSection copied;
    const qint64 drawn = pool->RecordCount();
    int number = firstNumber;
    std::vector<QVariantList> rows;
    for (const qint64 index : RandomIndexes(drawn, drawn, random)) {
        pool->MoveFirst();
        pool->Move(long(index));
        copied.answerKey += pool->GetText("答案") + '|';
        QVariantList row;
        for (qsizetype c = 0; c + 1 < columns.size(); ++c) row << pool->GetCollect(columns[c]);
        rows.push_back(row << number++);
    }
    // A few statements of many rows: on a server each is a round trip.
    InsertRows(personnel, schema::kPersonnelFile, "exam", columns, rows);
    copied.count = int(drawn);
    return copied;
}

AssemblyResult AssemblePaper(const QString& subjectMode, const QString& paperName,
                             RandomSource& random, const QString& registrationId) {
    const QStringList types = qtype::Names();
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

    return InTransaction(schema::kPersonnelFile, [&](CADOConn& personnel,
                                                     CTransaction& transaction) {
        // The pool's rows, stored together once every rule is drawn.
        std::vector<QVariantList> pool;
        for (const RuleRow& row : plan) {
            for (int t = 0; t < types.size(); ++t) {
                const SectionRules& rules = row.sections[t];
                const auto take = [&](const CRecordset& question, qint64 key) {
                    QVariantList values;
                    for (const QString& column : PoolColumns())
                        values << question.GetCollect(column);
                    pool.push_back(values << rules.points << key);
                };
                for (const DrawItem& item : rules.items) {
                    if (!DrawRows(bank, types[t], row.subjectFilter, item, random,
                                  Pictures::Allowed, take)) {
                        transaction.Rollback();
                        return AssemblyResult{Outcome::BankTooSmall, {}, types[t]};
                    }
                }
            }
        }
        InsertRows(personnel, schema::kPersonnelFile, "interim",
                   PoolColumns() + QStringList{"分值", "题目编号"}, pool);

        AssemblyResult result;
        int nextNumber = 1;
        for (const QString& type : types) {
            const CopiedSection copied = CopySection(personnel, type, nextNumber, random);
            result.answerKey += copied.answerKey;
            nextNumber += copied.count;
        }
        if (!registrationId.isEmpty())
            progress::Keep(personnel, registrationId, answers::SplitAnswerKey(result.answerKey));
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
