#include "rules/examselection.h"

#include <cstdlib>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/formats.h"
#include "data/schema.h"

namespace selection {
namespace {

const QString kFile = schema::kPersonnelFile;

// The exam of one registration, or the refusal it meets; nothing when it is not listed.
std::optional<OpenExam> CheckRegistration(CADOConn& personnel, CADOConn& questions,
                                          const CRecordset& registration, const QDateTime& now,
                                          Listing& listing) {
    auto refuse = [&listing](Refusal refusal) {
        listing.refusal = refusal;
        return std::nullopt;
    };
    const QString examNo = registration.GetText("考试号");
    const int number = std::atoi(qPrintable(examNo));
    if (!codes::EnrolmentIntact(registration)) return refuse(Refusal::DatabaseTampered);
    const qint64 enrolled = personnel.CountRows(kRegistrationsOfExam, kFile, {examNo});
    const RecordsetPtr counters = personnel.OpenRecordset(kCountersOfExam, kFile, {number});
    if (counters->RecordCount() != 1) return refuse(Refusal::DatabaseTampered);
    if (!codes::SelectionCountersValid(enrolled, 1, counters->GetCollect("考生质量"),
                                       counters->GetCollect("考生数量")))
        return refuse(Refusal::CountersChanged);
    const RecordsetPtr exam =
        personnel.OpenRecordset("select * from ExamArrange where 考试号=?", kFile, {number});
    if (exam->RecordCount() == 0) return refuse(Refusal::ExamMissing);
    exam->MoveFirst();
    if (!codes::ExamIntact(*exam)) return refuse(Refusal::ExamTampered);
    const auto start = ParseExamTime(exam->GetText("开始时间"));
    const auto end = ParseExamTime(exam->GetText("结束时间"));
    // Exams that have not started are not listed; neither are times nobody can read.
    if (!start || !end || *start > now) return std::nullopt;

    const QString paperName = exam->GetText("试卷名称");
    const RecordsetPtr paper = questions.OpenRecordset("select * from exampaper where 名称=?",
                                                       schema::kQuestionsFile, {paperName});
    if (paper->RecordCount() == 0) {
        listing.paperName = paperName;
        return refuse(Refusal::PaperMissing);
    }
    return OpenExam{examNo,
                    exam->GetText("考试名称"),
                    exam->GetText("开始时间"),
                    exam->GetText("结束时间"),
                    *end < now,
                    exam->GetText("考试时限"),
                    exam->GetText("合格分数"),
                    paperName,
                    paper->GetText("科目选项"),
                    registration.GetText("ID")};
}

}  // namespace

Listing ListExams(const QString& name, const QString& department, const QString& position,
                  const QDateTime& now) {
    Listing listing;
    CADOConn personnel, questions;
    const RecordsetPtr registrations =
        personnel.OpenRecordset(kOpenRegistrations, kFile, {name, department, position});
    if (registrations->RecordCount() == 0) return listing;
    for (; !registrations->IsEOF(); registrations->MoveNext()) {
        const auto exam = CheckRegistration(personnel, questions, *registrations, now, listing);
        if (listing.refusal != Refusal::None) break;
        if (exam) listing.exams.push_back(*exam);
    }
    return listing;
}

QString RefusalMessage(const Listing& listing) {
    switch (listing.refusal) {
        case Refusal::DatabaseTampered:
            return QStringLiteral("数据库已被篡改,将退出程序！");
        case Refusal::CountersChanged:
            return QStringLiteral("本次考试人员数量被修改,将退出程序！");
        case Refusal::ExamMissing:
            return QStringLiteral("考试信息已被篡改,无法进行考试！");
        case Refusal::ExamTampered:
            return QStringLiteral("考试信息已被篡改,将退出程序！");
        case Refusal::PaperMissing:
            return "“" + listing.paperName + "”" + "找不到相应的试卷,将退出程序！";
        case Refusal::None:
            break;
    }
    return QString();
}

bool EndsProgram(Refusal refusal) {
    return refusal != Refusal::None && refusal != Refusal::ExamMissing;
}

PaperCheck CheckPaper(const QString& paperName) {
    {
        CADOConn questions;
        const RecordsetPtr paper = questions.OpenRecordset("select * from exampaper where 名称=?",
                                                           schema::kQuestionsFile, {paperName});
        if (paper->RecordCount() == 0) return PaperCheck::Deleted;
        if (!codes::PaperIntact(*paper)) return PaperCheck::Tampered;
    }
    CADOConn personnel;
    if (personnel.CountRows("ExamArrange", kFile) == 0) return PaperCheck::NoExams;
    return PaperCheck::Ready;
}

QString CheckMessage(PaperCheck check) {
    switch (check) {
        case PaperCheck::Deleted:
            return QStringLiteral("本次考试的试卷已删除,无法考试！");
        case PaperCheck::Tampered:
            return QStringLiteral("本次考试的试卷信息已被篡改,无法进行考试！");
        case PaperCheck::Ready:
        case PaperCheck::NoExams:
            break;
    }
    return QString();
}

void CreateEmptyPool() {
    CADOConn personnel;
    personnel.ExecuteIfPossible(schema::kDropInterim, kFile);
    personnel.ExecuteIfPossible(schema::kCreateInterim, kFile);
}

void DropPool() {
    CADOConn personnel;
    personnel.ExecuteIfPossible(schema::kDropInterim, kFile);
}

assembly::AssemblyResult DrawPaper(const QString& subjectMode, const QString& paperName,
                                   assembly::RandomSource& random, const QString& registrationId) {
    CADOConn personnel;
    schema::RecreateScratchTable(personnel, kFile, schema::kCreateExam, schema::kDropExam);
    const assembly::AssemblyResult drawn =
        assembly::AssemblePaper(subjectMode, paperName, random, registrationId);
    if (drawn.outcome == assembly::Outcome::Assembled)
        personnel.ExecuteIfPossible(schema::kDropInterim, kFile);
    return drawn;
}

}  // namespace selection
