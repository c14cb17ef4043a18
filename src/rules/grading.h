#pragma once

#include <QString>
#include <optional>
#include <vector>

// Grading essay answers by hand: each stored answer (table quesAndAns of
// personnel.mdb) is consumed once, and its points join the registration's score.
namespace grading {

struct EssayAnswer {
    qlonglong id = 0;  // the answer row
    QString name;
    QString department;
    QString position;
    QString examName;
    QString stem;
    QString reference;
    QString answer;
    QString points;          // the question's points, as stored
    QString registrationId;  // 考生编号: ID of the ExamRegister row
};

// Every stored answer of every exam, in table order. Raises DatabaseError.
std::vector<EssayAnswer> ListAnswers();

// The points field as typed: at most one decimal digit (cut, not rounded), no leading
// '.', no leading '0' before another digit. Applied after every change.
QString NormalizedPoints(const QString& text);
// The awarded points of the field; empty counts as 0.
double AwardedPoints(const QString& text);
// More than the question is worth? Equal is allowed.
bool ExceedsQuestion(double awarded, const QString& questionPoints);
QString ConfirmationText(double awarded);

struct Awarded {
    QString score;            // the registration's new 成绩
    bool essaysLeft = false;  // answers of this examinee in this exam still wait
};
// Consumes the answer and adds the points to its registration with a new save code and
// the essay flag, all in one transaction: on failure nothing changes, the result is
// empty and `error` says why.
std::optional<Awarded> Award(const EssayAnswer& answer, double points, QString* error = nullptr);

}  // namespace grading
