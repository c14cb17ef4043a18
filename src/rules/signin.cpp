#include "rules/signin.h"

#include <QDir>

#include "data/adoconn.h"
#include "data/filemodes.h"
#include "data/formats.h"
#include "data/intransaction.h"
#include "data/schema.h"

namespace signin {

PasswordVerdict VerifyPassword(codes::Account account, const QString& user, const QString& password,
                               const QStringList& storedDigests) {
    if (storedDigests.size() < 3) return PasswordVerdict::TooFewRows;
    const codes::PasswordDigests expected = codes::DigestPassword(account, password);
    if (user != codes::UserName(account) || storedDigests[0] != expected.plain)
        return PasswordVerdict::Refused;
    if (storedDigests[1] != expected.salted1 || storedDigests[2] != expected.salted2)
        return PasswordVerdict::DigestsDamaged;
    return PasswordVerdict::Accepted;
}

PasswordVerdict CheckSignIn(codes::Account account, const QString& user, const QString& password) {
    QStringList stored;
    CADOConn conn;
    conn.ForEachRow("select " + codes::PasswordColumn(account) + " from LastPass",
                    schema::kPersonnelFile, {}, [&stored](const CRowReader& row) {
                        if (stored.size() < 3) stored << row.Text(0);
                    });
    return VerifyPassword(account, user, password, stored);
}

PasswordVerdict CheckPassword(codes::Account account, const QString& password) {
    return CheckSignIn(account, codes::UserName(account), password);
}

bool IsCurrentPassword(codes::Account account, const QString& password) {
    CADOConn conn;
    const RecordsetPtr rows = conn.OpenRecordset("select * from LastPass", schema::kPersonnelFile);
    rows->MoveFirst();
    return rows->GetText(codes::PasswordColumn(account)) ==
           codes::DigestPassword(account, password).plain;
}

void StorePassword(codes::Account account, const QString& password) {
    const codes::PasswordDigests digests = codes::DigestPassword(account, password);
    const QString column = codes::PasswordColumn(account);
    InTransaction(schema::kPersonnelFile, [&](CADOConn& conn) {
        const RecordsetPtr rows =
            conn.OpenRecordset("select * from LastPass", schema::kPersonnelFile);
        rows->MoveFirst();
        rows->PutCollect(column, digests.plain);
        rows->Move(1);
        rows->PutCollect(column, digests.salted1);
        rows->MoveNext();
        rows->PutCollect(column, digests.salted2);
        rows->Update();
    });
}

bool EndIfExpired(CRecordset& exam, const QDateTime& now) {
    if (!exam.GetText("时效").isEmpty()) return false;
    const auto end = ParseExamTime(exam.GetText("结束时间"));
    if (!end || *end > now) return false;
    const QString ended = QStringLiteral("结束");
    exam.PutCollect("时效", ended);
    exam.PutCollect("保存码",
                    codes::ExamCode(exam.GetText("考试名称"), exam.GetText("开始时间"),
                                    exam.GetText("结束时间"), exam.GetText("合格分数"), ended));
    exam.Update();
    return true;
}

EntryVerdict CheckExamineeEntry(const QDateTime& now) {
    const QString file = schema::kPersonnelFile;
    CADOConn conn;
    auto exams = conn.OpenRecordset("select * from ExamArrange", file);
    const long examCount = exams->RecordCount();
    if (examCount == 0) return EntryVerdict::NoExams;
    for (; !exams->IsEOF(); exams->MoveNext()) {
        if (!codes::ExamIntact(*exams)) return EntryVerdict::ExamTampered;
        EndIfExpired(*exams, now);
    }

    const qint64 registrations = conn.CountRows("ExamRegister", file);
    const qint64 counters = conn.CountRows("JoinExam", file);
    if (!codes::SignInCountersValid(examCount, registrations, counters))
        return EntryVerdict::DatabaseTampered;

    auto open = conn.OpenRecordset(kUnscoredRegistrations, file);
    for (; !open->IsEOF(); open->MoveNext())
        if (!codes::EnrolmentIntact(*open)) return EntryVerdict::DatabaseTampered;
    return EntryVerdict::Proceed;
}

QString ExposureWarning(const QString& dataFolder) {
    QStringList exposed;
    if (filemodes::WritableByOthers(dataFolder))
        exposed << QStringLiteral("数据文件夹“%1”").arg(QDir::toNativeSeparators(dataFolder));
    const QString settings = QDir(dataFolder).filePath(QStringLiteral("vemoconf.ini"));
    if (filemodes::WritableByOthers(settings))
        exposed << QStringLiteral("设置文件“%1”").arg(QDir::toNativeSeparators(settings));
    if (exposed.isEmpty()) return QString();
    return exposed.join(QStringLiteral("和")) +
           QStringLiteral(
               "可被本机的其他用户改写，他们可以借此改动考试数据，或让本程序连接别的"
               "数据库服务器。请收回其他用户的写权限（例如执行 chmod o-w）。");
}

}  // namespace signin
