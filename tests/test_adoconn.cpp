#include <QFile>
#include <functional>

#include "data/adoconn.h"
#include "data/schema.h"
#include "data/sqliteengine.h"
#include "testutil.h"

namespace {

class AdoConnTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        ASSERT_TRUE(CADOConn::CreateDatabaseFile("personnel.mdb"));
        CADOConn conn;
        conn.OpenDatabase("personnel.mdb");
        for (const QString& sql : schema::PersonnelTables())
            conn.ExecuteStatement(sql, "personnel.mdb");
    }

    void AddExaminee(CADOConn& conn, const QVariant& name, const QVariant& department) {
        auto rs = conn.OpenRecordset("select * from examinee", "personnel.mdb");
        rs->AddNew();
        rs->PutCollect("姓名", name);
        rs->PutCollect("部门", department);
        rs->Update();
    }
};

// Every call that reaches a missing file raises, and none of them creates it.
TEST_F(AdoConnTest, EveryCallOnAMissingFileRaisesAndCreatesNothing) {
    QFile::remove("personnel.mdb");
    const std::pair<const char*, std::function<void(CADOConn&)>> calls[] = {
        {"open", [](CADOConn& conn) { conn.OpenDatabase("personnel.mdb"); }},
        {"recordset",
         [](CADOConn& conn) { conn.OpenRecordset("select * from examinee", "personnel.mdb"); }},
        {"statement",
         [](CADOConn& conn) { conn.ExecuteStatement("delete from examinee", "personnel.mdb"); }},
        {"count", [](CADOConn& conn) { conn.CountRows("examinee", "personnel.mdb"); }},
        {"begin", [](CADOConn& conn) { conn.BeginTrans(); }},
    };
    for (const auto& [what, call] : calls) {
        CADOConn conn;
        EXPECT_THROW(call(conn), DatabaseError) << what;
        EXPECT_THROW(call(conn), DatabaseError) << what << ", again";
        EXPECT_FALSE(conn.ExecuteIfPossible("delete from examinee", "personnel.mdb")) << what;
    }
    EXPECT_FALSE(QFile::exists("personnel.mdb")) << "opening must not create the file";
}

TEST_F(AdoConnTest, AFailedQueryRaisesAtOnceAndTheConnectionStaysUsable) {
    QFile garbage("questions.mdb");
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    CADOConn conn;
    EXPECT_THROW(conn.OpenDatabase("questions.mdb"), DatabaseError);
    EXPECT_THROW(conn.OpenRecordset("select * from NoSuchTable", "personnel.mdb"),
                 DatabaseError);
    EXPECT_FALSE(conn.ExecuteIfPossible("delete from NoSuchTable", "personnel.mdb"));
    EXPECT_TRUE(conn.ExecuteIfPossible("delete from examinee", "personnel.mdb"));
    EXPECT_EQ(conn.OpenRecordset("select * from examinee", "personnel.mdb")->RecordCount(), 0);
}

TEST_F(AdoConnTest, RowsReadStraightFromTheStatementMatchTheSnapshotAndCountsAgree) {
    CADOConn conn;
    AddExaminee(conn, "张三", QVariant());
    AddExaminee(conn, "李四", 2.5);
    auto snapshot = conn.OpenRecordset("select * from examinee", "personnel.mdb");
    QStringList read;
    conn.ForEachRow("select * from examinee where 姓名<>?", "personnel.mdb", {"王五"},
                    [&read](const CRowReader& row) {
                        read << QString::number(row.Integer("ID")) + row.Text("姓名") +
                                    row.Text("部门") + (row.IsNull("部门") ? "null" : "");
                    });
    QStringList expected;
    for (; !snapshot->IsEOF(); snapshot->MoveNext())
        expected << snapshot->GetText("ID") + snapshot->GetText("姓名") +
                        snapshot->GetText("部门") + (snapshot->IsNull("部门") ? "null" : "");
    EXPECT_EQ(read, expected);
    EXPECT_EQ(read.last(), "2李四2.5");
    EXPECT_EQ(conn.CountRows("examinee", "personnel.mdb"), 2);
    EXPECT_EQ(conn.CountRows("examinee where 姓名=?", "personnel.mdb", {"李四"}), 1);
    EXPECT_THROW(conn.CountRows("NoSuchTable", "personnel.mdb"), DatabaseError);
    EXPECT_THROW(conn.ForEachRow("select * from examinee", "personnel.mdb", {},
                                 [](const CRowReader& row) { row.Text("NoSuchColumn"); }),
                 DatabaseError);
    // The statement is usable again after a visit that raised.
    int again = 0;
    conn.ForEachRow("select * from examinee", "personnel.mdb", {},
                    [&again](const CRowReader&) { ++again; });
    EXPECT_EQ(again, 2);
}

TEST_F(AdoConnTest, ScratchTableCreateDropCreateAlwaysLeavesItEmpty) {
    CADOConn conn;
    conn.ExecuteStatement(schema::kCreateInterim, "personnel.mdb");
    EXPECT_THROW(conn.ExecuteStatement(schema::kCreateInterim, "personnel.mdb"), DatabaseError)
        << "creating an existing table fails and changes nothing";
    conn.ExecuteStatement("insert into interim(科目) values('x')", "personnel.mdb");
    schema::RecreateScratchTable(conn, "personnel.mdb", schema::kCreateInterim,
                                 schema::kDropInterim);
    auto rs = conn.OpenRecordset("select * from interim", "personnel.mdb");
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_EQ(rs->Columns().size(), 15);  // with the bank ID the draw carries on

    schema::RecreateScratchTable(conn, "personnel.mdb", schema::kCreateExam, schema::kDropExam);
    conn.ExecuteStatement(schema::kDropExam, "personnel.mdb");
    conn.ExecuteStatement(schema::kDropExam, "personnel.mdb");  // gone already: nothing to do
    EXPECT_THROW(conn.OpenRecordset("select * from exam", "personnel.mdb"), DatabaseError);
}

TEST_F(AdoConnTest, AddNewAssignsTheAutonumberAndKeepsNullApartFromEmpty) {
    CADOConn conn;
    auto rs = conn.OpenRecordset("select * from examinee", "personnel.mdb");
    rs->AddNew();
    rs->PutCollect("姓名", QStringLiteral("张三"));
    rs->PutCollect("部门", QString(""));
    rs->Update();
    EXPECT_EQ(rs->GetText("ID"), "1");
    rs->AddNew();
    rs->PutCollect("姓名", QStringLiteral("李四"));
    rs->Update();
    EXPECT_EQ(rs->GetCollect("ID").toInt(), 2);
    EXPECT_EQ(rs->RecordCount(), 2);

    auto again = conn.OpenRecordset("select * from examinee order by ID", "personnel.mdb");
    EXPECT_FALSE(again->IsNull("部门"));
    EXPECT_EQ(again->GetText("部门"), "");
    EXPECT_TRUE(again->IsNull("职务"));
    EXPECT_EQ(again->GetText("职务"), "") << "NULL reads as empty text";
    again->MoveNext();
    EXPECT_TRUE(again->IsNull("部门"));
    auto nulls = conn.OpenRecordset("select * from examinee where 部门 is null", "personnel.mdb");
    EXPECT_EQ(nulls->RecordCount(), 1);
}

TEST_F(AdoConnTest, MoveCountsFromTheCurrentRowAndStopsAtTheEnds) {
    CADOConn conn;
    for (int i = 0; i < 5; ++i) AddExaminee(conn, QString::number(i), QVariant());
    auto rs = conn.OpenRecordset("select * from examinee order by ID", "personnel.mdb");
    ASSERT_EQ(rs->RecordCount(), 5);
    rs->MoveFirst();
    rs->Move(3);
    EXPECT_EQ(rs->GetText("姓名"), "3");
    rs->Move(-2);
    EXPECT_EQ(rs->GetText("姓名"), "1");
    rs->MoveLast();
    EXPECT_EQ(rs->GetText("姓名"), "4");
    rs->MoveNext();
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_THROW(rs->GetCollect("姓名"), DatabaseError);
    EXPECT_THROW(rs->MoveNext(), DatabaseError);
    rs->MoveFirst();
    rs->Move(7);  // past the last row: EOF, as the recordset it imitates does
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_THROW(rs->Move(1), DatabaseError);
    rs->Move(-9);
    EXPECT_TRUE(rs->IsBOF());
    EXPECT_THROW(rs->Move(-1), DatabaseError);
    rs->Move(2);
    EXPECT_EQ(rs->GetText("姓名"), "1");
}

TEST_F(AdoConnTest, ChangesAreWrittenBackAndMovingOnStoresThem) {
    CADOConn conn;
    auto pass = conn.OpenRecordset("select * from LastPass", "personnel.mdb");
    for (int i = 0; i < 3; ++i) {
        pass->AddNew();
        pass->PutCollect("系统管理员密码", QString("a%1").arg(i));
        pass->PutCollect("考试管理员密码", QString("m%1").arg(i));
        pass->Update();
    }
    // The way a password change writes its three rows: only the last gets an Update.
    auto rs = conn.OpenRecordset("select * from LastPass", "personnel.mdb");
    rs->MoveFirst();
    rs->PutCollect("考试管理员密码", QStringLiteral("X0"));
    rs->Move(1);
    rs->PutCollect("考试管理员密码", QStringLiteral("X1"));
    rs->MoveNext();
    rs->PutCollect("考试管理员密码", QStringLiteral("X2"));
    rs->Update();

    auto check = conn.OpenRecordset("select * from LastPass", "personnel.mdb");
    for (int i = 0; i < 3; ++i, check->MoveNext()) {
        EXPECT_EQ(check->GetText("考试管理员密码"), QString("X%1").arg(i));
        EXPECT_EQ(check->GetText("系统管理员密码"), QString("a%1").arg(i));
    }
}

TEST_F(AdoConnTest, DeleteRemovesTheRowAndMoveNextReachesItsSuccessor) {
    CADOConn conn;
    for (const char* name : {"a", "b", "c"}) AddExaminee(conn, QString(name), QVariant());
    auto rs = conn.OpenRecordset("select * from examinee order by ID", "personnel.mdb");
    rs->MoveNext();
    rs->Delete();
    EXPECT_THROW(rs->GetCollect("姓名"), DatabaseError);
    rs->MoveNext();
    EXPECT_EQ(rs->GetText("姓名"), "c");
    EXPECT_EQ(conn.OpenRecordset("select * from examinee", "personnel.mdb")->RecordCount(), 2);
}

TEST_F(AdoConnTest, AQuoteInAValueSimplyWorks) {
    CADOConn conn;
    const QString name = QStringLiteral("O'Brien王");
    AddExaminee(conn, name, QStringLiteral("d'ept"));
    auto rs = conn.OpenRecordset("select * from examinee where 姓名=? and 部门=?", "personnel.mdb",
                                 {name, QStringLiteral("d'ept")});
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->GetText("姓名"), name);
    conn.ExecuteStatement("update examinee set 职务=? where 姓名=?", "personnel.mdb",
                                      {QStringLiteral("x'y"), name});
    auto like = conn.OpenRecordset("select * from examinee where 职务 like ?", "personnel.mdb",
                                   {QStringLiteral("%'%")});
    EXPECT_EQ(like->RecordCount(), 1);
    EXPECT_THROW(conn.ExecuteStatement("select ?", "personnel.mdb", {}), DatabaseError)
        << "a missing parameter is an error, not a NULL";
}

TEST_F(AdoConnTest, ATransactionRolledBackOnErrorLeavesNothing) {
    CADOConn conn;
    conn.OpenDatabase("personnel.mdb");
    try {
        CTransaction transaction(conn);
        ASSERT_TRUE(transaction.IsActive());
        AddExaminee(conn, QStringLiteral("甲"), QVariant());
        auto rs = conn.OpenRecordset("select * from examinee", "personnel.mdb");
        rs->PutCollect("没有这列", 1);  // raises
        transaction.Commit();
        FAIL() << "the write should have raised";
    } catch (const DatabaseError&) {
    }
    EXPECT_EQ(conn.OpenRecordset("select * from examinee", "personnel.mdb")->RecordCount(), 0);

    {
        CTransaction transaction(conn);
        AddExaminee(conn, QStringLiteral("乙"), QVariant());
        EXPECT_NO_THROW(transaction.Commit());
    }
    EXPECT_EQ(conn.OpenRecordset("select * from examinee", "personnel.mdb")->RecordCount(), 1);

    CTransaction unfinished(conn);
    AddExaminee(conn, QStringLiteral("丙"), QVariant());
    conn.CloseDatabase();
    CADOConn other;
    EXPECT_EQ(other.OpenRecordset("select * from examinee", "personnel.mdb")->RecordCount(), 1)
        << "closing without commit stores nothing";
}

TEST_F(AdoConnTest, NumbersAreStoredAsTheirShortestText) {
    CADOConn conn;
    schema::RecreateScratchTable(conn, "personnel.mdb", schema::kCreateExam, schema::kDropExam);
    auto rs = conn.OpenRecordset("select * from exam", "personnel.mdb");
    rs->AddNew();
    rs->PutCollect("编号", 7);
    rs->PutCollect("分值", 2.0);
    rs->PutCollect("答题", 1.5);
    rs->Update();
    auto check = conn.OpenRecordset("select * from exam", "personnel.mdb");
    EXPECT_EQ(check->GetText("分值"), "2");
    EXPECT_EQ(check->GetText("答题"), "1.5");
    EXPECT_EQ(check->GetCollect("编号").typeId(), QMetaType::LongLong);
    EXPECT_EQ(check->GetCollect("编号").toInt(), 7);
}

TEST_F(AdoConnTest, LongValuesAreKeptWholeInScratchTables) {
    CADOConn conn;
    schema::RecreateScratchTable(conn, "personnel.mdb", schema::kCreateInterim,
                                 schema::kDropInterim);
    const QString longText(1000, QChar(0x95EE));
    auto rs = conn.OpenRecordset("select * from interim", "personnel.mdb");
    rs->AddNew();
    rs->PutCollect("题干", longText);
    rs->Update();
    EXPECT_EQ(conn.OpenRecordset("select * from interim", "personnel.mdb")->GetText("题干"),
              longText);
}

TEST_F(AdoConnTest, ValOrdersTextByItsNumericValue) {
    CADOConn conn;
    for (const char* score : {"9", "85.5", "100", "85"}) {
        conn.ExecuteStatement("insert into ExamRegister(成绩) values(?)",
                                          "personnel.mdb", {QString(score)});
    }
    auto rs =
        conn.OpenRecordset("select * from ExamRegister Order by val(成绩) desc", "personnel.mdb");
    QStringList order;
    for (; !rs->IsEOF(); rs->MoveNext()) order << rs->GetText("成绩");
    EXPECT_EQ(order, QStringList({"100", "85.5", "85", "9"}));
}

TEST_F(AdoConnTest, ForEachRowReadsColumnsByPosition) {
    CADOConn conn;
    AddExaminee(conn, "甲", QVariant());
    AddExaminee(conn, "乙", "生产部");
    QStringList seen;
    conn.ForEachRow("select ID,姓名,部门 from examinee where ID>=? order by ID", "personnel.mdb",
                    {1}, [&](const CRowReader& row) {
                        seen << row.Text(0) + row.Text(1) + (row.IsNull(2) ? "-" : row.Text(2));
                    });
    EXPECT_EQ(seen, QStringList({"1甲-", "2乙生产部"}));
}

TEST_F(AdoConnTest, RowsOfJoinsAndAggregatesAreReadOnly) {
    CADOConn conn;
    AddExaminee(conn, QStringLiteral("甲"), QStringLiteral("部"));
    auto count = conn.OpenRecordset("select COUNT(*) as n from examinee", "personnel.mdb");
    EXPECT_EQ(count->GetCollect("n").toInt(), 1);
    EXPECT_THROW(count->PutCollect("n", 3), DatabaseError);

    auto join = conn.OpenRecordset(
        "select e.姓名 as A from examinee e left join ExamRegister j on(e.姓名=j.姓名 and "
        "e.部门=j.部门) where j.姓名 is null",
        "personnel.mdb");
    EXPECT_EQ(join->GetText("A"), QStringLiteral("甲"));
    EXPECT_THROW(join->PutCollect("A", QStringLiteral("乙")), DatabaseError);

    auto distinct = conn.OpenRecordset("select distinct 部门 from examinee", "personnel.mdb");
    EXPECT_EQ(distinct->RecordCount(), 1);
    EXPECT_THROW(distinct->AddNew(), DatabaseError);
}

TEST_F(AdoConnTest, ARecordsetOutlivesItsConnectionMovingToTheOtherFile) {
    ASSERT_TRUE(CADOConn::CreateDatabaseFile("questions.mdb"));
    CADOConn conn;
    AddExaminee(conn, QStringLiteral("甲"), QVariant());
    auto rs = conn.OpenRecordset("select * from examinee", "personnel.mdb");
    conn.CloseDatabase();
    conn.OpenDatabase("questions.mdb");
    EXPECT_EQ(rs->GetText("姓名"), QStringLiteral("甲"));
    rs->PutCollect("部门", QStringLiteral("乙"));
    rs->Update();
    CADOConn check;
    EXPECT_EQ(check.OpenRecordset("select * from examinee", "personnel.mdb")->GetText("部门"),
              QStringLiteral("乙"));
}

// Each kind of failure reaches the caller with the engine's own code and a Chinese text
// for the user, on the files and on a server alike.
using DataFailures = DataFolderTest;

TEST_F(DataFailures, CarryTheEnginesCodeAndAChineseText) {
    const bool server = TestServerDatabase::Active();
    const QString file = schema::kPersonnelFile;
    struct Case {
        const char* what;
        std::function<void(CADOConn&)> fail;
        DataFailure kind;
        QString code;
        QString textStart;
    };
    const Case cases[] = {
        {"a key stored twice",
         [&](CADOConn& conn) {
             const QString insert = "insert into examinee(ID,姓名) values(99,'甲')";
             conn.ExecuteStatement(insert, file);
             conn.ExecuteStatement(insert, file);
         },
         DataFailure::Refused, server ? "23505" : "1555", "数据库拒绝保存"},
        {"a table that is not there",
         [&](CADOConn& conn) {
             conn.ForEachRow("select * from 没有的表", file, {}, [](const CRowReader&) {});
         },
         DataFailure::Other, server ? "42P01" : "1", ""},
        {"a data file that is not there",
         [&](CADOConn& conn) { conn.OpenDatabase("nothing.mdb"); },
         DataFailure::FileMissing, "", "无法打开"},
    };
    for (const Case& c : cases) {
        CADOConn conn;
        try {
            c.fail(conn);
            ADD_FAILURE() << c.what << " did not raise";
        } catch (const DatabaseError& failure) {
            EXPECT_EQ(failure.Kind(), c.kind) << c.what;
            EXPECT_EQ(failure.Code(), c.code) << c.what;
            EXPECT_TRUE(failure.Text().startsWith(c.textStart))
                << c.what << ": " << failure.what();
        }
    }
}

TEST(JetSql, AutonumberKeysAreTranslated) {
    EXPECT_EQ(TranslateJetSql("create table t(ID AUTOINCREMENT PRIMARY KEY,a INT)"),
              "create table t(ID INTEGER PRIMARY KEY AUTOINCREMENT,a INT)");
    EXPECT_EQ(TranslateJetSql("select * from t"), "select * from t");
}

}  // namespace
