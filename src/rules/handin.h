#pragma once

#include <QDateTime>
#include <QStringList>
#include <optional>

#include "rules/examticket.h"

// Scoring a handed-in paper and storing its result.
namespace handin {

struct Result {
    double score = 0;
    bool hasEssays = false;
};

// Scores every answer of the scratch table `exam` against the answer list (the reference
// of question n at index n − 1), hands each essay question on to manual grading in
// `quesAndAns`, writes the result with its save code into the examinee's registration
// row, keeps the answer sheet (one row per question in `answerSheet`) and removes the
// paper in progress, all in one transaction of personnel.mdb. Nothing is stored when any
// step fails; then the result is empty and `error` says why.
std::optional<Result> Store(const ExamTicket& ticket, const QStringList& answerList,
                            int remainingSeconds, const QDateTime& handInTime,
                            QString* error = nullptr);

// The result of the hand-in at `handInTime` when the registration already holds it: the
// server committed it but the connection was lost before the station heard so. Empty
// when the registration holds no such result (or cannot be read).
std::optional<Result> AlreadyStored(const ExamTicket& ticket, const QDateTime& handInTime);

}  // namespace handin
