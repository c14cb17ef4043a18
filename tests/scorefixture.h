#pragma once

#include <QString>
#include <functional>
#include <optional>

// Stored results written straight into personnel.mdb the way hand-in writes them, with
// valid score codes and the JoinExam counters kept right.
struct StoredScore {
    QString name = QStringLiteral("张三");
    QString department = QStringLiteral("生产部");
    QString position = QStringLiteral("操作工");
    QString examName = QStringLiteral("安全生产月度考试");
    QString examNo = QStringLiteral("1");
    QString score = QStringLiteral("80");
    QString passMark = QStringLiteral("60");
    QString timeUsed = QStringLiteral("600");
    QString handIn = QStringLiteral("2026/12/09") + QChar(0x3000) + "10:00:00";
    bool essays = false;
};

// Adds a scored registration and returns its ID; the counters of its exam follow.
qlonglong StoreScore(const StoredScore& score);
// Adds an essay answer waiting for grading for a registration; returns the answer's ID.
qlonglong StoreEssay(qlonglong registrationId, const StoredScore& score,
                     const QString& points = QStringLiteral("10"),
                     const QString& answer = QStringLiteral("先报警，再疏散。"));
// Sets a column of a registration without touching its code, as an outside edit would.
void Tamper(qlonglong registrationId, const QString& column, const QString& value);

// One answer-sheet row as hand-in writes it: answer NULL when unanswered, earned empty
// for an essay not graded yet.
struct SheetAnswer {
    qlonglong registration = 0;
    QString examNo = QStringLiteral("1");
    int number = 1;  // 题号
    QString type = QStringLiteral("单选题");
    qlonglong questionId = 1;
    std::optional<QString> answer;
    QString points = QStringLiteral("2");
    QString earned = QStringLiteral("0");
};
void StoreAnswer(const SheetAnswer& answer);
// Adds a registration that has no score yet; the counters of its exam follow.
qlonglong StoreUnscored(const StoredScore& score);
struct ScoreSheet;
// The preview programs' sample: an exam of its own with six scores (one with an essay
// answer waiting for grading, two equal), one absentee and the answer sheets of all six.
extern const QString kSampleExam;
void StoreSampleScores();
// The score sheet of every stored score, with its paper's name.
ScoreSheet SampleSheet();
// 张三 of the sample data sits the sample exam through the exam session: the paper is
// drawn, question n gets answer(n, type, reference) (nullopt: unanswered) and it is handed
// in with its answer sheet. His registration's ID; the paper's size in `questions`.
using SampleAnswer =
    std::function<std::optional<QString>(int n, const QString& type, const QString& reference)>;
QString HandInSamplePaper(const SampleAnswer& answer, int* questions = nullptr);
