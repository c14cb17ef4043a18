#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

class CADOConn;
class CRecordset;

// Drawing an examinee's paper from the bank by the paper's stored rules. A paper lists
// no questions; every rule draws its number of distinct questions at random from the
// matching bank rows into the pool (interim), then each type's drawn questions are
// shuffled into exam, numbered across the whole paper. The reference answers never go
// to exam: they come back as the answer key.
namespace assembly {

// Where the randomness comes from, so that tests can fix it.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A uniformly distributed integer in [0, bound); bound is at least 1.
    virtual std::uint64_t Below(std::uint64_t bound) = 0;
};

// A 64-bit Mersenne Twister, seeded from the system's entropy source unless a seed is
// given; uniform_int_distribution rejects out-of-range values, so no index is favoured.
class MersenneRandom : public RandomSource {
public:
    MersenneRandom();
    explicit MersenneRandom(std::uint64_t seed) : m_engine(seed) {}
    std::uint64_t Below(std::uint64_t bound) override;

private:
    std::mt19937_64 m_engine;
};

// n distinct integers of 0 … t−1 in random order (every ordered choice equally likely).
// n is capped at t; nothing for n ≤ 0.
std::vector<qint64> RandomIndexes(qint64 t, qint64 n, RandomSource& random);

// One item of a rule text: draw `count` questions of this target group and difficulty.
struct DrawItem {
    QString group;
    QString difficulty;
    int count = 0;
};

// One question type's rules of a paper: "每题" + points + "分。", then per target group
// "group:difficulty=count,…;" with one to three items.
struct SectionRules {
    double points = 0;
    QList<DrawItem> items;
};

// Parses a stored rule text. An empty text and "空" hold no items; a text that breaks
// the grammar (no "。", a segment without ";" or ":", a count without a positive leading
// number, more than three items in a segment) gives nullopt. A count is read by its
// leading digits, as the paper screen reads the essay count: "2题" and "2.5" are 2.
std::optional<SectionRules> ParseSection(const QString& ruleText);

// Whether questions that carry a picture may be drawn: a printed paper has no room for them.
enum class Pictures { Allowed, Excluded };

// Draws item.count distinct questions of one type matching the subject (a subject name,
// or "无" for every subject), group and difficulty from the bank (questions.mdb) into the
// pool, each with `points` as its 分值. False, with nothing written, when the bank holds
// fewer matching questions than asked (or none).
bool DrawRule(CADOConn& bank, CRecordset& pool, const QString& type, const QString& subjectFilter,
              const DrawItem& item, double points, RandomSource& random,
              Pictures pictures = Pictures::Allowed);

// Copies one type's pool rows into exam in random order, numbered from firstNumber on.
struct CopiedSection {
    QString answerKey;  // each reference answer followed by "|"
    int count = 0;
};
CopiedSection CopySection(CADOConn& personnel, const QString& type, int firstNumber,
                          RandomSource& random);

enum class Outcome {
    Assembled,
    NoRules,       // the paper has no rule row
    BankTooSmall,  // a rule asks for more questions than the bank holds
    BrokenRule,    // a stored rule text does not follow the grammar
};

struct AssemblyResult {
    Outcome outcome = Outcome::Assembled;
    QString answerKey;  // when assembled
    QString type;       // the question type that was short or broken
};

// Fills the pool (interim) and exam of personnel.mdb, which must exist and be empty, from
// the paper's rules: testpaper rows for subject mode "多科", otherwise its exampaper row.
// The writes go in one transaction: unless assembled, both tables stay empty. With a
// registration the drawn paper is also kept as its paper in progress, in the same
// transaction. Database failures raise DatabaseError.
AssemblyResult AssemblePaper(const QString& subjectMode, const QString& paperName,
                             RandomSource& random, const QString& registrationId = QString());

// What the examinee is told when the paper cannot be assembled (empty when assembled).
QString OutcomeMessage(const AssemblyResult& result);

}  // namespace assembly
