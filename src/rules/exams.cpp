#include "rules/exams.h"

#include <QSet>
#include <optional>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/formats.h"
#include "data/intransaction.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "rules/assembly.h"
#include "rules/paperinprogress.h"
#include "rules/rulematch.h"
#include "rules/signin.h"

namespace exams {
namespace {

const QString kPersonnel = schema::kPersonnelFile;
const QString kQuestions = schema::kQuestionsFile;

void Execute(CADOConn& conn, const QString& sql, const QVariantList& params) {
    conn.ExecuteStatement(sql, kPersonnel, params);
}

std::vector<Registration> Registrations(CRecordset& rs) {
    std::vector<Registration> rows;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        rows.push_back({rs.GetCollect("ID").toLongLong(),
                        {rs.GetText("姓名"), rs.GetText("部门"), rs.GetText("职务")},
                        !rs.IsNull("成绩")});
    return rows;
}

RecordsetPtr RegistrationsOf(CADOConn& conn, const QString& examNo) {
    return conn.OpenRecordset("select * from ExamRegister where 考试号=?", kPersonnel, {examNo});
}

// The examinees without a registration in the exam, optionally of one name only.
RecordsetPtr Unregistered(CADOConn& conn, const QString& examNo,
                          const std::optional<QString>& name) {
    QVariantList params{examNo};
    if (name) params << *name;
    return conn.OpenRecordset(UnregisteredStatement(name.has_value()), kPersonnel, params);
}

// The bank rows one rule item draws from, counted with the filters of the draw.
qint64 CountMatching(CADOConn& bank, const QString& type, const QString& subject,
                     const assembly::DrawItem& item) {
    const assembly::RuleMatch match = assembly::MatchRule(type, subject, item);
    return bank.OpenRecordset(match.CountStatement(), kQuestions, match.params)
        ->GetCollect("n")
        .toLongLong();
}

}  // namespace

PaperListing ListPapers() {
    PaperListing listing;
    CADOConn conn;
    auto rs = conn.OpenRecordset("select * from exampaper", kQuestions);
    for (; !rs->IsEOF(); rs->MoveNext()) {
        listing.papers.push_back({rs->GetText("名称"), rs->GetText("科目"), rs->GetText("总题数"),
                                  rs->GetText("满分"), rs->GetText("创建时间")});
        if (!codes::PaperIntact(*rs)) {
            listing.tampered = true;
            break;
        }
    }
    return listing;
}

QString CreationRefusal(const ExamForm& form, int examineeCount) {
    if (form.name.isEmpty()) return QStringLiteral("请输入考试名称！");
    if (form.timeLimit.isEmpty()) return QStringLiteral("请输入答题时限！");
    if (form.paperName.isEmpty()) return QStringLiteral("请选择试卷！");
    if (form.passMark.isEmpty()) return QStringLiteral("请输入合格分数！");
    if (form.passMark.toDouble() > form.fullMarks.toDouble())
        return QStringLiteral("合格分数不能大于满分！");
    {
        CADOConn conn;
        auto rs = conn.OpenRecordset("select * from ExamArrange where 考试名称=?", kPersonnel,
                                     {form.name});
        if (rs->RecordCount() > 0) return QStringLiteral("您输入的考试名称已存在！");
    }
    if (examineeCount == 0) return QStringLiteral("试卷名为空或未选取考生！");
    return QString();
}

qlonglong CreateExam(const ExamForm& form, const std::vector<Examinee>& examinees) {
    return InTransaction(kPersonnel, [&](CADOConn& conn) -> qlonglong {
        const QString start = FormatExamTime(form.start);
        const QString end = FormatExamTime(form.end);

        auto exam = conn.OpenRecordset("select * from ExamArrange where 0", kPersonnel);
        exam->AddNew();
        exam->PutCollect("考试名称", form.name);
        exam->PutCollect("试卷名称", form.paperName);
        exam->PutCollect("开始时间", start);
        exam->PutCollect("结束时间", end);
        exam->PutCollect("考试时限", form.timeLimit);
        exam->PutCollect("合格分数", form.passMark);
        exam->PutCollect("保存码",
                         codes::ExamCode(form.name, start, end, form.passMark, QString()));
        exam->Update();
        const qlonglong number = exam->GetCollect("考试号").toLongLong();
        const QString examNo = QString::number(number);

        // The same examinee moved twice is registered once.
        QSet<QString> seen;
        qint64 registered = 0;
        auto rows = conn.OpenRecordset("select * from ExamRegister where 0", kPersonnel);
        for (const Examinee& e : examinees) {
            const QString key = e.name + ';' + e.department + ';' + e.position;
            if (seen.contains(key)) continue;
            seen.insert(key);
            rows->AddNew();
            rows->PutCollect("姓名", e.name);
            rows->PutCollect("部门", e.department);
            rows->PutCollect("职务", e.position);
            rows->PutCollect("考试号", examNo);
            rows->PutCollect("合格分数", form.passMark);
            rows->PutCollect("保存码", codes::EnrolmentCode(e.name, e.department, e.position,
                                                            examNo, form.passMark));
            rows->Update();
            ++registered;
        }

        if (registered > 0) {
            const codes::Counters counters = codes::CountersFor(registered);
            Execute(conn, "insert into JoinExam(考试号,考生质量,考生数量) values(?,?,?)",
                    {number, counters.quality, counters.quantity});
        }
        return number;
    });
}

BankCheck CheckBank(const QString& paperName) {
    BankCheck check;
    CADOConn bank;
    auto paper =
        bank.OpenRecordset("select * from exampaper where 名称=?", kQuestions, {paperName});
    const bool multiSubject =
        paper->RecordCount() > 0 && paper->GetText("科目选项") == QStringLiteral("多科");
    auto rules = multiSubject ? bank.OpenRecordset("select * from testpaper where 名称=?",
                                                   kQuestions, {paperName})
                              : paper;
    if (rules->RecordCount() == 0) {
        check.noRules = true;
        return check;
    }
    for (rules->MoveFirst(); !rules->IsEOF(); rules->MoveNext()) {
        QString subject = rules->GetText("科目");
        if (subject == QStringLiteral("无") || subject == QStringLiteral("全科")) subject.clear();
        for (const QString& type : qtype::Names()) {
            const auto section = assembly::ParseSection(rules->GetText(type));
            if (!section) {
                if (!check.brokenTypes.contains(type)) check.brokenTypes << type;
                continue;
            }
            for (const assembly::DrawItem& item : section->items) {
                const qint64 available = CountMatching(bank, type, subject, item);
                if (available < item.count)
                    check.shortfalls.push_back(
                        {type, item.group, item.difficulty, subject, item.count, available});
            }
        }
    }
    return check;
}

QString ShortfallQuestion(const BankCheck& check) {
    QStringList lines;
    if (check.noRules) lines << QStringLiteral("所选试卷没有组卷规则，无法抽题。");
    for (const QString& type : check.brokenTypes)
        lines << "所选试卷中“" + type + "”的组卷规则有误，无法抽题。";
    for (const Shortfall& s : check.shortfalls) {
        const QString subject = s.subject.isEmpty() ? QString() : s.subject + "，";
        lines << QStringLiteral("%1（%2%3，%4）：需要%5题，题库只有%6题，缺%7题。")
                     .arg(s.type, subject, s.group, s.difficulty)
                     .arg(s.needed)
                     .arg(s.available)
                     .arg(s.needed - s.available);
    }
    return "题库中的试题不足以按所选试卷抽题：\n\n" + lines.join('\n') +
           "\n\n考生将无法进入此考试。仍要创建考试吗？";
}

ExamListing ListExams(const QDateTime& now) {
    ExamListing listing;
    CADOConn conn;
    auto rs = conn.OpenRecordset("select * from ExamArrange", kPersonnel);
    for (; !rs->IsEOF(); rs->MoveNext()) {
        ArrangedExam exam{rs->GetText("考试号"),   rs->GetText("考试名称"), rs->GetText("开始时间"),
                          rs->GetText("结束时间"), rs->GetText("试卷名称"), QString(),
                          rs->GetText("合格分数")};
        if (!codes::ExamIntact(*rs)) {
            exam.state = rs->GetText("时效");
            listing.exams.push_back(exam);
            listing.tampered = true;
            break;
        }
        signin::EndIfExpired(*rs, now);
        exam.state = rs->GetText("时效");
        listing.exams.push_back(exam);
    }
    return listing;
}

QString UnregisteredStatement(bool oneName) {
    return QStringLiteral(
               "select e.姓名 as A, e.部门 as B, e.职务 as C from examinee e left join "
               "ExamRegister j on(e.姓名=j.姓名 and e.部门=j.部门 and e.职务=j.职务 and "
               "j.考试号=?) where j.姓名 is null") +
           (oneName ? " and e.姓名=?" : "") + " order by e.ID";
}

QStringList UnregisteredNames(const QString& examNo) {
    CADOConn conn;
    auto rs = Unregistered(conn, examNo, std::nullopt);
    QStringList names;
    for (; !rs->IsEOF(); rs->MoveNext()) names << rs->GetText("A");
    return names;
}

Examinee FirstUnregistered(const QString& examNo, const QString& name) {
    CADOConn conn;
    auto rs = Unregistered(conn, examNo, name);
    if (rs->RecordCount() == 0) return {};
    return {rs->GetText("A"), rs->GetText("B"), rs->GetText("C")};
}

RegistrationListing CheckRegistrations(const QString& examNo) {
    RegistrationListing listing;
    CADOConn conn;
    if (conn.OpenRecordset("select * from ExamArrange", kPersonnel)->RecordCount() == 0) {
        listing.verdict = RegistrationVerdict::NoExams;
        return listing;
    }
    if (conn.OpenRecordset("select * from JoinExam", kPersonnel)->RecordCount() == 0) {
        listing.verdict = RegistrationVerdict::CountersMissing;
        return listing;
    }
    auto registrations = RegistrationsOf(conn, examNo);
    auto counters = conn.OpenRecordset("select * from JoinExam where 考试号=?", kPersonnel,
                                       {examNo.toLongLong()});
    if (counters->RecordCount() != 1) {
        listing.verdict = RegistrationVerdict::CounterRowsWrong;
        return listing;
    }
    const QVariant quality = counters->GetCollect("考生质量");
    if (quality.isValid() && quality.toLongLong() != registrations->RecordCount()) {
        listing.verdict = RegistrationVerdict::CountMismatch;
        return listing;
    }
    for (registrations->MoveFirst(); !registrations->IsEOF(); registrations->MoveNext()) {
        if (registrations->IsNull("成绩") && !codes::EnrolmentIntact(*registrations)) {
            listing.verdict = RegistrationVerdict::EnrolmentTampered;
            return listing;
        }
    }
    listing.registrations = Registrations(*registrations);
    return listing;
}

std::vector<Registration> ListRegistrations(const QString& examNo) {
    CADOConn conn;
    return Registrations(*RegistrationsOf(conn, examNo));
}

QString VerdictMessage(RegistrationVerdict verdict) {
    switch (verdict) {
        case RegistrationVerdict::CountersMissing:
            return QStringLiteral("考生信息已被篡改,将退出程序！");
        case RegistrationVerdict::CounterRowsWrong:
            return QStringLiteral("数据库已被篡改,将退出程序！");
        case RegistrationVerdict::CountMismatch:
            return QStringLiteral("本次考试的考生数量被修改,将退出程序！");
        case RegistrationVerdict::EnrolmentTampered:
            return QStringLiteral("未参加考试的考生信息已被篡改,将退出程序！");
        case RegistrationVerdict::Listed:
        case RegistrationVerdict::NoExams:
            break;
    }
    return QString();
}

bool RemoveRegistration(qlonglong registrationId, const QString& examNo) {
    return InTransaction(kPersonnel, [&](CADOConn& conn) -> bool {
        auto row = conn.OpenRecordset("select * from ExamRegister where ID=? and 成绩 is null",
                                      kPersonnel, {registrationId});
        if (row->RecordCount() == 0) return false;
        Execute(conn, "delete from ExamRegister where ID=?", {registrationId});
        progress::Remove(conn, QString::number(registrationId));
        Execute(conn, "update JoinExam set 考生质量=考生质量-1,考生数量=考生数量-1 where 考试号=?",
                {examNo.toLongLong()});
        return true;
    });
}

AddOutcome AddRegistration(const QString& examNo, const QString& passMark,
                           const Examinee& examinee) {
    return InTransaction(kPersonnel, [&](CADOConn& conn) -> AddOutcome {
        auto ended =
            conn.OpenRecordset("select * from ExamArrange where 考试号=? and ifnull(时效,'')<>''",
                               kPersonnel, {examNo.toLongLong()});
        if (ended->RecordCount() > 0) return AddOutcome::ExamEnded;
        Execute(
            conn,
            "insert into ExamRegister(姓名,部门,职务,考试号,合格分数,保存码) values(?,?,?,?,?,?)",
            {examinee.name, examinee.department, examinee.position, examNo, passMark,
             codes::EnrolmentCode(examinee.name, examinee.department, examinee.position, examNo,
                                  passMark)});
        Execute(conn, "update JoinExam set 考生质量=考生质量+1,考生数量=考生数量+1 where 考试号=?",
                {examNo.toLongLong()});
        return AddOutcome::Added;
    });
}

void DeleteExam(const QString& examNo) {
    InTransaction(kPersonnel, [&](CADOConn& conn) {
        Execute(conn, "delete from ExamArrange where 考试号=?", {examNo.toLongLong()});
        Execute(conn, "delete from ExamRegister where 考试号=?", {examNo});
        Execute(conn, "delete from JoinExam where 考试号=?", {examNo.toLongLong()});
        Execute(conn, kDeleteEssayAnswers, {examNo});
        Execute(conn, "delete from answerSheet where 考试号=?", {examNo});
        progress::RemoveExam(conn, examNo);
    });
}

}  // namespace exams
