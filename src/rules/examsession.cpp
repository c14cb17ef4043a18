#include "rules/examsession.h"

#include "data/adoconn.h"
#include "data/intransaction.h"
#include "data/pgengine.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "rules/answers.h"
#include "rules/paperinprogress.h"

namespace {
const QString kFile = schema::kPersonnelFile;
}  // namespace

ExamSession::ExamSession(const ExamTicket& ticket) : m_ticket(ticket) {}

std::array<int, 5> ExamSession::Open() {
    std::array<int, 5> counts{};
    const QStringList types = qtype::Names();
    CADOConn conn;
    conn.ForEachRow("select 题型,count(*) from exam group by 题型", kFile, {},
                    [&](const CRowReader& row) {
                        const qsizetype t = types.indexOf(row.Text(0));
                        if (t >= 0) counts[size_t(t)] = row.Text(1).toInt();
                    });
    m_paper.Load();
    m_sessionId = CADOConn::SessionId(kFile);
    return counts;
}

ExamSession::Question ExamSession::Read(int n) const {
    CADOConn conn;
    const RecordsetPtr rs = conn.OpenRecordset("select * from exam where 编号=?", kFile, {n});
    Question question{rs->GetText("题型"),
                      rs->GetText("题干"),
                      rs->GetText("分值"),
                      rs->IsNull("图片") ? QString() : rs->GetText("图片"),
                      {},
                      rs->GetText("答题")};
    for (int i = 0; i < 5; ++i) question.options << rs->GetText(answers::OptionLetter(i));
    if (rs->IsNull("E")) question.options.removeLast();
    return question;
}

void ExamSession::StoreAnswer(int n, const std::optional<QVariant>& answer, int timeUsed) {
    if (!answer) {
        progress::StoreTimeUsed(m_ticket.registrationId, timeUsed);
        return;
    }
    progress::StoreAnswer(m_ticket.registrationId, n, *answer, timeUsed);
    m_paper.SetAnswer(n, *answer);
}

bool ExamSession::StoreTimeUsed(int timeUsed) {
    try {
        progress::StoreTimeUsed(m_ticket.registrationId, timeUsed);
        return true;
    } catch (const DatabaseError&) {
        return false;
    }
}

std::vector<ExamSession::StoredAnswer> ExamSession::Answers(bool answeredOnly) const {
    std::vector<StoredAnswer> stored;
    CADOConn conn;
    conn.ForEachRow(
        answeredOnly ? "select 编号,题型,答题 from exam where 答题 is not null"
                     : "select 编号,题型,答题 from exam",
        kFile, {}, [&stored](const CRowReader& row) {
            stored.push_back({row.Text(0).toInt(), row.Text(1),
                              row.IsNull(2) ? std::nullopt : std::optional<QString>(row.Text(2))});
        });
    return stored;
}

std::optional<handin::Result> ExamSession::HandIn(const QStringList& answerList,
                                                  int remainingSeconds, const QDateTime& handInTime,
                                                  QString* error) {
    return handin::Store(m_ticket, answerList, remainingSeconds, handInTime, error);
}

std::optional<handin::Result> ExamSession::AlreadyHandedIn(const QDateTime& handInTime) const {
    return handin::AlreadyStored(m_ticket, handInTime);
}

bool ExamSession::Lost() const {
    return CADOConn::SessionId(kFile) != m_sessionId;
}

bool ExamSession::ServerAnswers() const {
    if (m_sessionId == 0) return true;
    return !Lost() && store::SessionAnswers(kFile);
}

bool ExamSession::Reconnect() const {
    return CADOConn::Reconnect(kFile);
}

bool ExamSession::Restore(QString* error) {
    if (!m_paper.Restore(error)) return false;
    m_sessionId = CADOConn::SessionId(kFile);
    return true;
}

void ExamSession::ForgetUnstarted() {
    if (m_ticket.resumed) return;
    try {
        InTransaction(kFile,
                      [&](CADOConn& conn) { progress::Remove(conn, m_ticket.registrationId); });
    } catch (const DatabaseError&) {
        // The paper stays kept.
    }
}

void ExamSession::DropScratchTable() {
    CADOConn conn;
    conn.ExecuteIfPossible(schema::kDropExam, kFile);
}
