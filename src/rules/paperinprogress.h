#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

class CADOConn;

// The paper of an exam being taken, kept in personnel.mdb beside the scratch table `exam`
// (which a server drops with the station's session): every drawn question with its
// reference answer and stored answer, and the time used so far. It outlives a station that
// dies, so the exam can go on under supervision; the hand-in removes it. Failures raise
// DatabaseError.
namespace progress {

// Keeps the paper just drawn into `exam` as the registration's paper in progress, in place
// of any earlier one, with no time used (`references`: the reference answer of question n
// at index n − 1). Runs in the caller's transaction.
void Keep(CADOConn& conn, const QString& registrationId, const QStringList& references);

// The time used in seconds when the registration has a paper in progress and no score.
std::optional<int> TimeUsed(const QString& registrationId);

struct Resumed {
    QString answerKey;  // every reference answer followed by "|", in question order
    int timeUsed = 0;
};
// Makes `exam` anew from the kept paper with its stored answers, in one transaction.
Resumed Resume(const QString& registrationId);

// Stores the answer of question n in `exam` and in the kept paper, with the time used, in
// one transaction.
void StoreAnswer(const QString& registrationId, int number, const QVariant& answer, int timeUsed);
void StoreTimeUsed(const QString& registrationId, int timeUsed);

// Removes the registration's paper in progress, in the caller's transaction.
void Remove(CADOConn& conn, const QString& registrationId);
// Removes the papers in progress of every registration of an exam, in the caller's
// transaction.
void RemoveExam(CADOConn& conn, const QString& examNo);

}  // namespace progress
