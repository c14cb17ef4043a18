#include "data/codes.h"

#include "data/adoconn.h"
#include "data/md5encrypt.h"
#include "data/questiontype.h"

namespace codes {

QString PaperCode(const PaperColumns& p) {
    return CMD5Encrypt::DigestText(p.name + p.single + p.judge + p.fill + p.multiple + p.essay +
                                   p.subject + p.total + p.fullMarks + p.created);
}

PaperColumns PaperColumnsOf(const CRecordset& rs) {
    auto rules = [&rs](QuestionType type) { return rs.GetText(qtype::Name(type)); };
    return {
        rs.GetText("名称"),          rules(QuestionType::Single),   rules(QuestionType::TrueFalse),
        rules(QuestionType::FillIn), rules(QuestionType::Multiple), rules(QuestionType::Essay),
        rs.GetText("科目"),          rs.GetText("总题数"),          rs.GetText("满分"),
        rs.GetText("创建时间")};
}

QString ExamCode(const QString& examName, const QString& start, const QString& end,
                 const QString& passMark, const QString& state) {
    return CMD5Encrypt::DigestText(examName + start + end + passMark + state);
}

QString ExamCodeOf(const CRecordset& rs) {
    return ExamCode(rs.GetText("考试名称"), rs.GetText("开始时间"), rs.GetText("结束时间"),
                    rs.GetText("合格分数"), rs.GetText("时效"));
}

QString EnrolmentCode(const QString& name, const QString& department, const QString& position,
                      const QString& examNo, const QString& passMark) {
    return CMD5Encrypt::DigestText(name + department + position + examNo + passMark);
}

QString EnrolmentCodeOf(const CRecordset& rs) {
    return EnrolmentCode(rs.GetText("姓名"), rs.GetText("部门"), rs.GetText("职务"),
                         rs.GetText("考试号"), rs.GetText("合格分数"));
}

QString ScoreCode(const ScoreColumns& s) {
    // Built in one piece: the score query checks every scored row with it.
    QString text;
    text.reserve(s.id.size() + s.name.size() + s.position.size() + s.examName.size() +
                 s.score.size() + s.passMark.size() + s.timeUsed.size() + s.handInTime.size());
    text.append(s.id).append(s.name).append(s.position).append(s.examName).append(s.score);
    text.append(s.passMark).append(s.timeUsed).append(s.handInTime);
    return CMD5Encrypt::DigestText(text);
}

QString ScoreCodeOf(const CRecordset& rs) {
    return ScoreCode({rs.GetText("ID"), rs.GetText("姓名"), rs.GetText("职务"),
                      rs.GetText("考试名称"), rs.GetText("成绩"), rs.GetText("合格分数"),
                      rs.GetText("考试用时"), rs.GetText("考试时间")});
}

const QStringList& AnswerSheetColumns() {
    static const QStringList columns = {"考生编号", "考试号", "题号", "题型", "题目编号", "科目",
                                        "题干",     "A",      "B",    "C",    "D",        "E",
                                        "答案",     "答题",   "分值", "得分"};
    return columns;
}

QString AnswerSheetCode(const QStringList& texts) {
    return CMD5Encrypt::DigestText(texts.join(QChar(0x1f)));
}

bool PaperIntact(const CRecordset& rs) {
    return PaperCode(PaperColumnsOf(rs)) == rs.GetText("保存码");
}
bool ExamIntact(const CRecordset& rs) {
    return ExamCodeOf(rs) == rs.GetText("保存码");
}
bool EnrolmentIntact(const CRecordset& rs) {
    return EnrolmentCodeOf(rs) == rs.GetText("保存码");
}
bool ScoreIntact(const CRecordset& rs) {
    return ScoreCodeOf(rs) == rs.GetText("保存码");
}

PasswordDigests DigestPassword(Account account, const QString& password) {
    auto salted = [&](const QString& salt) {
        return CMD5Encrypt::DigestText(account == Account::SystemAdmin ? salt + password
                                                                       : password + salt);
    };
    return {CMD5Encrypt::DigestText(password), salted("kelp"), salted("xo")};
}

QString PasswordColumn(Account account) {
    return account == Account::SystemAdmin ? QStringLiteral("系统管理员密码")
                                           : QStringLiteral("考试管理员密码");
}

QString UserName(Account account) {
    return account == Account::SystemAdmin ? QStringLiteral("admin") : QStringLiteral("manager");
}

QString InitialPassword(Account account) {
    return account == Account::SystemAdmin ? QStringLiteral("518274") : QStringLiteral("903361");
}

Counters CountersFor(qint64 registrations) {
    return {registrations, registrations + 5};
}

namespace {
qint64 OrZero(const QVariant& v) {
    return v.isValid() ? v.toLongLong() : 0;
}
}  // namespace

bool SelectionCountersValid(qint64 c, qint64 counterRows, const QVariant& quality,
                            const QVariant& quantity) {
    if (counterRows != 1) return false;
    if (!quality.isValid()) return true;
    return c == quality.toLongLong() && OrZero(quantity) == quality.toLongLong() + 5;
}

bool ScoreQueryCountersValid(qint64 c, const QVariant& quality, const QVariant& quantity) {
    return c == OrZero(quality) && OrZero(quantity) == OrZero(quality) + 5;
}

bool ManagementCountersValid(qint64 c, qint64 joinExamRows, qint64 counterRows,
                             const QVariant& quality) {
    if (joinExamRows == 0 || counterRows != 1) return false;
    return !quality.isValid() || c == quality.toLongLong();
}

bool SignInCountersValid(qint64 arrangedExams, qint64 registrations, qint64 counterRows) {
    return arrangedExams == 0 || (registrations > 0 && counterRows > 0);
}

}  // namespace codes
