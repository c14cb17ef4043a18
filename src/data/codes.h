#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class CRecordset;

// Save codes: the MD5 digest of a fixed concatenation of a record's own columns, so
// that editing a record outside the program shows. Every writer and every verifier
// composes them here. A NULL column counts as the empty text.
namespace codes {

// exampaper and testpaper rows.
struct PaperColumns {
    QString name, single, judge, fill, multiple, essay, subject, total, fullMarks, created;
};
QString PaperCode(const PaperColumns& paper);
PaperColumns PaperColumnsOf(const CRecordset& rs);

// ExamArrange rows; state is 时效 (empty while open, "结束" once ended).
QString ExamCode(const QString& examName, const QString& start, const QString& end,
                 const QString& passMark, const QString& state);
QString ExamCodeOf(const CRecordset& rs);

// ExamRegister rows while 成绩 is NULL.
QString EnrolmentCode(const QString& name, const QString& department, const QString& position,
                      const QString& examNo, const QString& passMark);
QString EnrolmentCodeOf(const CRecordset& rs);

// ExamRegister rows once 成绩 is set. 部门 is not part of it.
struct ScoreColumns {
    QString id, name, position, examName, score, passMark, timeUsed, handInTime;
};
QString ScoreCode(const ScoreColumns& score);
QString ScoreCodeOf(const CRecordset& rs);

// answerSheet rows: the columns the code covers, in table order, and the code over their
// texts. The texts are joined with a unit separator (U+001F), so text moved from one
// column into the next changes the code.
const QStringList& AnswerSheetColumns();
QString AnswerSheetCode(const QStringList& texts);

// True when the stored 保存码 of the current row matches its composition.
bool PaperIntact(const CRecordset& rs);
bool ExamIntact(const CRecordset& rs);
bool EnrolmentIntact(const CRecordset& rs);
bool ScoreIntact(const CRecordset& rs);

// The two administrator accounts and their password digests in LastPass.
enum class Account { SystemAdmin, ExamAdmin };
struct PasswordDigests {
    QString plain;    // row 1
    QString salted1;  // row 2, with "kelp"
    QString salted2;  // row 3, with "xo"
    bool operator==(const PasswordDigests& o) const {
        return plain == o.plain && salted1 == o.salted1 && salted2 == o.salted2;
    }
};
// The salts go before the system administrator's password and after the exam
// administrator's.
PasswordDigests DigestPassword(Account account, const QString& password);
QString PasswordColumn(Account account);
QString UserName(Account account);
QString InitialPassword(Account account);

// JoinExam counters of an exam with n registrations: 考生质量 = n, 考生数量 = n + 5.
struct Counters {
    qint64 quality;
    qint64 quantity;
};
Counters CountersFor(qint64 registrations);

// The counter checks, c being the number of ExamRegister rows of the exam and
// counterRows the number of its JoinExam rows. NULL counters are invalid QVariants.
bool SelectionCountersValid(qint64 c, qint64 counterRows, const QVariant& quality,
                            const QVariant& quantity);
bool ScoreQueryCountersValid(qint64 c, const QVariant& quality, const QVariant& quantity);
bool ManagementCountersValid(qint64 c, qint64 joinExamRows, qint64 counterRows,
                             const QVariant& quality);
bool SignInCountersValid(qint64 arrangedExams, qint64 registrations, qint64 counterRows);

}  // namespace codes
