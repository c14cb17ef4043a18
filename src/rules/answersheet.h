#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The answer sheet kept at hand-in (table answerSheet of personnel.mdb): what the examinee
// saw, what he answered and what each answer earned, for the administrator's view.
namespace answersheet {

enum class Mark { Right, Wrong, HalfRight, Ungraded };

struct Row {
    int number = 0;
    QString type, subject, stem;
    QStringList options;  // A–E as shown, NULL ones left out from the end
    QString reference;
    std::optional<QString> answer;  // nullopt when unanswered
    QString points, earned;         // earned is empty for an essay not yet graded
    bool intact = true;             // the row's save code matches
    // The question's picture file (absolute path), empty when it has none or its bank row
    // or file is gone.
    QString picture;
};

struct Sheet {
    QString name, department, position, examName, score, timeUsed, handInTime;
    std::vector<Row> rows;  // in question order; none for a result stored before sheets
};

// The registration's result and answer sheet, the pictures looked up in the bank by the
// questions' keys. Raises DatabaseError.
Sheet Load(const QString& registrationId);

// Full points are right, none are wrong, anything between is half; an essay waits for
// grading until it has points.
Mark MarkOf(const Row& row);
QString MarkText(const Row& row);

}  // namespace answersheet
