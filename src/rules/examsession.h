#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <optional>
#include <vector>

#include "rules/examticket.h"
#include "rules/handin.h"
#include "rules/keptpaper.h"

// One examinee's sitting as the exam window sees it: the drawn paper in the scratch table
// `exam`, the paper in progress kept durable beside it, and a copy in memory for a station
// that loses the server. The window asks this object and never the database. Reads and
// writes raise DatabaseError unless said otherwise.
class ExamSession {
public:
    explicit ExamSession(const ExamTicket& ticket);

    const ExamTicket& Ticket() const { return m_ticket; }
    // Reads the paper: the number of questions of each type, in the order of the types.
    std::array<int, 5> Open();

    struct Question {
        QString type, stem, points, picture;
        QStringList options;  // A–D, and E when it is not NULL
        QString answer;       // as stored, empty when NULL
    };
    Question Read(int n) const;
    // 题型 of question n from the copy in memory; empty when there is none.
    QString Type(int n) const { return m_paper.Type(n); }

    // Stores the answer of question n (nullopt keeps the stored one) with the time used so
    // far, both durable at once.
    void StoreAnswer(int n, const std::optional<QVariant>& answer, int timeUsed);
    // The time used alone; false when it could not be stored (the next try will do).
    bool StoreTimeUsed(int timeUsed);

    struct StoredAnswer {
        int number;
        QString type;
        std::optional<QString> answer;
    };
    // Every question with its stored answer, or only the answered ones.
    std::vector<StoredAnswer> Answers(bool answeredOnly) const;

    // Scores and stores the result (see handin::Store).
    std::optional<handin::Result> HandIn(const QStringList& answerList, int remainingSeconds,
                                         const QDateTime& handInTime, QString* error);
    std::optional<handin::Result> AlreadyHandedIn(const QDateTime& handInTime) const;

    // The server's session that held `exam` is gone (never on the local files).
    bool Lost() const;
    // Looks whether the server still holds the paper, asking it one cheap question bounded
    // by the short check timeout; false when the session is gone or the server stayed
    // silent. The local files are not asked.
    bool ServerAnswers() const;
    // Keeps an answer in memory only, while the server is away.
    void KeepInMemory(int n, const QVariant& answer) { m_paper.SetAnswer(n, answer); }
    // Connects to the server anew; false while it stays away.
    bool Reconnect() const;
    // After a reconnection: `exam` anew from memory; false with the reason when it fails.
    bool Restore(QString* error);
    // Every way out of the window: the scratch table goes, the paper in progress stays.
    void DropScratchTable();
    // Leaving a new paper before the exam started: nobody has seen its questions, so it
    // is not kept (an unfinished sitting stays kept). Failures leave it kept.
    void ForgetUnstarted();

private:
    ExamTicket m_ticket;
    KeptPaper m_paper;
    qint64 m_sessionId = 0;
};
