#pragma once

#include <QDateTime>
#include <QStringList>

#include "data/codes.h"

class CRecordset;

// The checks of the sign-in screen: the administrators' passwords and the state of the
// exam data before an examinee may go on.
namespace signin {

enum class PasswordVerdict {
    Accepted,
    TooFewRows,      // LastPass has fewer than three rows
    DigestsDamaged,  // user and plain digest match, a salted digest does not
    Refused,         // wrong user name or password
};

// storedDigests: the account's column of the LastPass rows, in storage order.
PasswordVerdict VerifyPassword(codes::Account account, const QString& user, const QString& password,
                               const QStringList& storedDigests);

// Reads the account's digests from LastPass and checks the user name and password as
// sign-in does. Raises DatabaseError when they cannot be read.
PasswordVerdict CheckSignIn(codes::Account account, const QString& user, const QString& password);
// The same for the account's own user name, when only the password is asked.
PasswordVerdict CheckPassword(codes::Account account, const QString& password);

// Whether `password` is the account's present one. Raises DatabaseError when LastPass
// cannot be read.
bool IsCurrentPassword(codes::Account account, const QString& password);

// Stores the three digests of `password` for the account in rows 1, 2 and 3 of LastPass,
// all or none; the other account's column stays as it is. Raises DatabaseError on failure.
void StorePassword(codes::Account account, const QString& password);

// Ends the exam of the current ExamArrange row when it is open and its end time is at or
// before now: 时效 becomes "结束" and the save code is recomputed in the same update. An
// end time that cannot be read never ends the exam. True when the row was ended.
bool EndIfExpired(CRecordset& exam, const QDateTime& now);

enum class EntryVerdict {
    Proceed,
    NoExams,           // no exam arranged at all
    ExamTampered,      // an exam's save code does not match
    DatabaseTampered,  // registrations or counters missing, or an enrolment code mismatch
};

// Checks every exam (ending the expired ones), the presence of registrations and
// counters, and every open registration's code. Raises DatabaseError when the data
// cannot be read.
EntryVerdict CheckExamineeEntry(const QDateTime& now);
// The registrations it checks: every one not yet scored.
inline const char* const kUnscoredRegistrations = "select * from ExamRegister where 成绩 is null";

// The warning for an administrator signing in when others may change the data folder or
// its settings file (and with it the database server the program trusts); empty when
// they may not.
QString ExposureWarning(const QString& dataFolder);

}  // namespace signin
