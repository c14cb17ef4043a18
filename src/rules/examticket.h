#pragma once

#include <QMetaType>
#include <QString>

// What exam selection hands the exam window when an examinee enters an exam.
struct ExamTicket {
    QString answerKey;       // reference answer of every drawn question, each followed by "|"
    QString examName;        // 考试名称
    QString timeLimit;       // 考试时限 in minutes, as stored
    QString registrationId;  // ID of the examinee's ExamRegister row
    int passMark = 0;        // 合格分数
    int timeUsed = 0;        // seconds used before, when a sitting resumes
    bool resumed = false;    // the paper of an unfinished sitting, not a new draw
};
Q_DECLARE_METATYPE(ExamTicket)
