#include <QFile>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "rules/examineeimport.h"
#include "rules/examinees.h"
#include "rules/exams.h"
#include "rules/examselection.h"
#include "rules/questionbank.h"
#include "rules/results.h"
#include "rules/rulematch.h"
#include "rules/signin.h"
#include "rules/subjectsettings.h"
#include "testutil.h"

namespace {

using Indexes = DataFolderTest;

QStringList IndexNames(const QString& file) {
    CADOConn conn;
    auto rs = conn.OpenRecordset(
        "select name from sqlite_master where type='index' and sql "
        "is not null order by name",
        file);
    QStringList names;
    for (; !rs->IsEOF(); rs->MoveNext()) names << rs->GetText("name");
    return names;
}

// Every row of every table, as text: what a user or a save code could see.
QString Contents(const QString& file) {
    CADOConn conn;
    auto tables =
        conn.OpenRecordset("select name from sqlite_master where type='table' order by name", file);
    QString contents;
    for (; !tables->IsEOF(); tables->MoveNext()) {
        const QString table = tables->GetText("name");
        auto rows = conn.OpenRecordset("select * from \"" + table + "\" order by rowid", file);
        contents += table + ':';
        for (; !rows->IsEOF(); rows->MoveNext())
            for (const QString& column : rows->Columns()) contents += rows->GetText(column) + '|';
    }
    return contents;
}

// The hot queries, taken from the rules that run them, with the index each must search.
struct Lookup {
    QString file, sql, index;
};

std::vector<Lookup> HotQueries() {
    const QString questions = schema::kQuestionsFile, personnel = schema::kPersonnelFile;
    const assembly::DrawItem item{"x", "x", 1};
    auto bankPage = [](const QString& type, const bank::Filter& filter) {
        return bank::MatchCondition(type, filter);
    };
    const bank::Filter bySubject{{}, "x", {}}, byKeyword{{}, "x", "x"};
    auto search = [](const Examinee& criteria) {
        return examinees::SearchStatement(criteria)->sql;
    };
    return {
        {questions, assembly::MatchRule("单选题", {}, item).KeysStatement(), "单选题_draw"},
        {questions, assembly::MatchRule("多选题", "x", item).KeysStatement(), "多选题_draw"},
        {questions, assembly::MatchRule("判断题", "x", item).CountStatement(), "判断题_draw"},
        {questions, bank::CountStatement("填空题", bankPage("填空题", bySubject)),
         "填空题_subject"},
        {questions, bank::SliceStatement("填空题", bankPage("填空题", bySubject)),
         "填空题_subject"},
        {questions, bank::CountStatement("问答题", bankPage("问答题", byKeyword)),
         "问答题_subject"},
        {questions, subject_settings::UsedSubjectsStatement("单选题"), "单选题_subject"},
        {personnel, search({"x", {}, "x"}), "examinee_person"},
        {personnel, search({{}, "x", "x"}), "examinee_department"},
        {personnel, search({{}, "x", {}}), "examinee_department"},
        {personnel, examinee_import::kExamineesInKeyOrder, "examinee_person"},
        {personnel, selection::kOpenRegistrations, "ExamRegister_person"},
        {personnel, QStringLiteral("select count(*) as n from ") + selection::kRegistrationsOfExam,
         "ExamRegister_exam"},
        {personnel, signin::kUnscoredRegistrations, "ExamRegister_unscored"},
        {personnel, exams::UnregisteredStatement(false), "ExamRegister_person"},
        {personnel, exams::UnregisteredStatement(true), "ExamRegister_person"},
        {personnel, results::RankingFor("x").sql, "ExamRegister_examname"},
        {personnel, selection::kCountersOfExam, "JoinExam_exam"},
        {personnel, exams::kDeleteEssayAnswers, "quesAndAns_exam"},
    };
}

TEST_F(Indexes, EveryHotQuerySearchesItsIndex) {
    for (const Lookup& lookup : HotQueries()) {
        const QString& sql = lookup.sql;
        CADOConn conn;
        auto plan = conn.OpenRecordset("explain query plan " + sql, lookup.file,
                                       QVariantList(sql.count('?'), QStringLiteral("x")));
        QString details;
        for (; !plan->IsEOF(); plan->MoveNext()) details += plan->GetText("detail") + '\n';
        EXPECT_TRUE(details.contains(QStringLiteral("INDEX %1").arg(lookup.index)))
            << sql.toStdString() << "\n"
            << details.toStdString();
    }
}

TEST_F(Indexes, AnOlderFolderGainsThemWithItsRowsAndCodesUnchanged) {
    for (const QString& file : {schema::kQuestionsFile, schema::kPersonnelFile}) {
        CADOConn conn;
        for (const QString& name : IndexNames(file))
            conn.ExecuteStatement("drop index \"" + name + "\"", file);
    }
    ASSERT_TRUE(IndexNames(schema::kQuestionsFile).isEmpty());
    const QString questions = Contents(schema::kQuestionsFile);
    const QString personnel = Contents(schema::kPersonnelFile);

    schema::AddMissingIndexes();
    schema::AddMissingIndexes();  // a second start finds nothing to add

    EXPECT_EQ(IndexNames(schema::kQuestionsFile).size(), schema::QuestionsIndexes().size());
    EXPECT_EQ(IndexNames(schema::kPersonnelFile).size(), schema::PersonnelIndexes().size());
    EXPECT_EQ(Contents(schema::kQuestionsFile), questions);
    EXPECT_EQ(Contents(schema::kPersonnelFile), personnel);
    CADOConn conn;
    auto registrations = conn.OpenRecordset("select * from ExamRegister", schema::kPersonnelFile);
    ASSERT_GT(registrations->RecordCount(), 0);
    for (; !registrations->IsEOF(); registrations->MoveNext())
        EXPECT_TRUE(codes::EnrolmentIntact(*registrations));
}

using IndexesAtStart = TempFolderTest;

TEST_F(IndexesAtStart, FilesThatAreMissingOrNoDatabasesAreLeftAlone) {
    QFile junk(schema::kPersonnelFile);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a database");
    junk.close();
    schema::AddMissingIndexes();
    QFile kept(schema::kPersonnelFile);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "not a database");
    EXPECT_FALSE(QFile::exists(schema::kQuestionsFile));
}

TEST(QuestionTypes, NamesOrderAndNumeralsHoldTogether) {
    const QStringList stored = {"单选题", "判断题", "填空题", "多选题", "问答题"};
    EXPECT_EQ(qtype::Names(), stored);
    for (const QuestionType type : qtype::kAll) {
        EXPECT_EQ(qtype::Of(qtype::Name(type)), type);
        EXPECT_EQ(qtype::Names().indexOf(qtype::Name(type)), qtype::Index(type));
    }
    for (const char* other : {"", "单选", "单选题 ", "Single"})
        EXPECT_FALSE(qtype::Of(QString::fromUtf8(other))) << other;
    const std::pair<int, QString> numerals[] = {{-1, ""}, {0, "一、"}, {4, "五、"}, {5, ""}};
    for (const auto& [ordinal, numeral] : numerals) EXPECT_EQ(qtype::Numeral(ordinal), numeral);
}

}  // namespace
