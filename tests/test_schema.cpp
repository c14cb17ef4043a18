#include <QFile>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"
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

// The hot queries as the program runs them, with the index each must search.
struct Lookup {
    const char* file;
    const char* sql;
    const char* index;
};

const Lookup kLookups[] = {
    {"questions.mdb", "select ID from 单选题 where 题型=? and 对象=? and 难度=? limit ?",
     "单选题_draw"},
    {"questions.mdb", "select ID from 多选题 where 题型=? and 科目=? and 对象=? and 难度=?",
     "多选题_draw"},
    {"questions.mdb",
     "select count(*) as n from 判断题 where 题型=? and 科目=? and 对象=? and 难度=?",
     "判断题_draw"},
    {"questions.mdb", "select * from 填空题 where 科目=? and 题型=?", "填空题_subject"},
    {"questions.mdb", "select * from 问答题 where 题干 like ? and 科目=? and 题型=?",
     "问答题_subject"},
    {"questions.mdb", "select distinct 科目 from 单选题", "单选题_subject"},
    {"personnel.mdb", "select * from examinee where 姓名=? and  职务=?", "examinee_person"},
    {"personnel.mdb", "select * from examinee where 部门=? and 职务=?", "examinee_department"},
    {"personnel.mdb", "select * from examinee where 部门=?", "examinee_department"},
    {"personnel.mdb", "select ID,姓名,部门,职务 from examinee order by 姓名,部门,职务,ID",
     "examinee_person"},
    {"personnel.mdb",
     "select * from ExamRegister where 姓名=? and 部门=? and 职务=? and 成绩 is null",
     "ExamRegister_person"},
    {"personnel.mdb", "select ID from ExamRegister where 姓名=? and 部门=? and 职务=? and 考试号=?",
     "ExamRegister_person"},
    {"personnel.mdb", "select count(*) as n from ExamRegister where 考试号=?", "ExamRegister_exam"},
    {"personnel.mdb", "select * from ExamRegister where 成绩 is null", "ExamRegister_unscored"},
    {"personnel.mdb",
     "select e.姓名 as A from examinee e left join ExamRegister j on(e.姓名=j.姓名 and "
     "e.部门=j.部门 and e.职务=j.职务 and j.考试号=?) where j.姓名 is null order by e.ID",
     "ExamRegister_person"},
    {"personnel.mdb",
     "delete from ExamRegister where id not in(select min(id) from ExamRegister group by "
     "姓名,部门,职务,考试号)",
     "ExamRegister_person"},
    {"personnel.mdb",
     "select * from ExamRegister where 考试名称=? and 成绩 is not null and 考试用时 is not null "
     "Order by val(成绩) desc,考试用时 asc",
     "ExamRegister_examname"},
    {"personnel.mdb", "select * from JoinExam where 考试号=?", "JoinExam_exam"},
    {"personnel.mdb", "delete from quesAndAns where 考试号=?", "quesAndAns_exam"},
};

TEST_F(Indexes, EveryHotQuerySearchesItsIndex) {
    for (const Lookup& lookup : kLookups) {
        const QString sql = QString::fromUtf8(lookup.sql);
        CADOConn conn;
        auto plan = conn.OpenRecordset("explain query plan " + sql, lookup.file,
                                       QVariantList(sql.count('?'), QStringLiteral("x")));
        QString details;
        for (; !plan->IsEOF(); plan->MoveNext()) details += plan->GetText("detail") + '\n';
        EXPECT_TRUE(details.contains(QStringLiteral("INDEX %1").arg(lookup.index)))
            << lookup.sql << "\n"
            << details.toStdString();
    }
}

TEST_F(Indexes, AnOlderFolderGainsThemWithItsRowsAndCodesUnchanged) {
    for (const QString& file : {schema::kQuestionsFile, schema::kPersonnelFile}) {
        CADOConn conn;
        for (const QString& name : IndexNames(file))
            ASSERT_TRUE(conn.ExecuteStatement("drop index \"" + name + "\"", file));
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
    QStringList reported;
    CADOConn::SetErrorReporter([&reported](const QString& text) { reported << text; });
    schema::AddMissingIndexes();
    CADOConn::SetErrorReporter([](const QString&) {});
    EXPECT_TRUE(reported.isEmpty());
    EXPECT_FALSE(QFile::exists(schema::kQuestionsFile));
}

}  // namespace
