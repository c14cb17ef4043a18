#pragma once

#include <QString>
#include <optional>

// How one answer of a drawn paper is judged against its reference answer. Hand-in
// scores with it and review mode marks the navigation numbers with it, so the two
// always agree.
namespace scoring {

enum class Verdict {
    Essay,       // graded by hand later; no points now
    Unanswered,  // nothing stored
    Right,       // full points
    HalfRight,   // one of the two blanks of a fill-in matches: half points
    Wrong,
};

// Comparisons are exact (case and spaces matter). Only a fill-in whose reference has
// two blanks ("P#Q") earns half: for the answer's blank 1 matching "P", or for its
// "#"-part matching "#Q". A multiple-choice answer is right only when all letters match.
// An unanswered question (nullopt) earns nothing.
Verdict Judge(const QString& type, const std::optional<QString>& answer, const QString& reference);

// The points an answer earns for a question worth `points`.
double PointsEarned(Verdict verdict, double points);

// The message after hand-in, up to and including the question about review mode.
QString ResultMessage(double score, int passMark, bool hasEssays);

}  // namespace scoring
