#include <sqlite3.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "data/adoconn.h"
#include "data/schema.h"
#include "rules/bankclearing.h"
#include "rules/examineeimport.h"
#include "rules/exams.h"
#include "rules/papers.h"
#include "rules/questionentry.h"
#include "rules/questionimport.h"
#include "rules/signin.h"
#include "testutil.h"

namespace {

using namespace std::chrono_literals;

// The wait for a busy local file, shortened so that each case costs about one wait.
constexpr auto kBusyWait = 400ms;

// Another program's write lock on a local data file while a unit of work runs: held until
// the unit returns, or one and a half busy waits at most. A unit that writes on after its
// transaction failed to begin finds the file free during its first write's wait, and
// would store that write and the rest outside any transaction.
class ForeignWriteLock {
public:
    explicit ForeignWriteLock(const QString& file) {
        std::promise<void> locked;
        std::future<void> ready = locked.get_future();
        m_holder = std::thread([this, &locked, path = file.toUtf8()] {
            sqlite3* db = nullptr;
            sqlite3_open(path.constData(), &db);
            sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            locked.set_value();
            m_unitDone.get_future().wait_for(kBusyWait * 3 / 2);
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        });
        ready.wait();
    }
    ~ForeignWriteLock() {
        m_unitDone.set_value();
        m_holder.join();
    }

private:
    std::promise<void> m_unitDone;
    std::thread m_holder;
};

// Runs SQL on the server beside the station; true when it gave rows.
bool Administer(const QString& sql) {
    PGconn* conn = PQconnectdb(TestServerDatabase::ServerUrl().toUtf8().constData());
    PGresult* result = PQexec(conn, sql.toUtf8().constData());
    const bool rows = PQntuples(result) > 0;
    PQclear(result);
    PQfinish(conn);
    return rows;
}

// Ends the station's session of a file on the server; the station learns of it at its
// next statement, the BEGIN of the next unit of work.
void EndServerSession(const QString& file) {
    const QString pid =
        CADOConn().OpenRecordset("select pg_backend_pid() as pid", file)->GetText("pid");
    Administer("select pg_terminate_backend(" + pid + ")");
    for (int i = 0; i < 100 && Administer("select 1 from pg_stat_activity where pid=" + pid); ++i)
        std::this_thread::sleep_for(20ms);
}

// Every row of the tables, to compare before and after.
QString Snapshot(const QString& file, const QStringList& tables) {
    QStringList rows;
    CADOConn conn;
    for (const QString& table : tables) {
        const RecordsetPtr rs = conn.OpenRecordset("select * from " + table, file);
        for (; !rs->IsEOF(); rs->MoveNext()) {
            QStringList cells;
            for (const QString& column : rs->Columns()) cells << rs->GetText(column);
            rows << table + ':' + cells.join('|');
        }
    }
    return rows.join('\n');
}

template <class Write>
bool Raises(Write&& write) {
    try {
        write();
        return false;
    } catch (const DatabaseError& e) {
        // Told as what it is: the file busy, or the server's session gone.
        return e.Kind() == DataFailure::Busy || e.Kind() == DataFailure::ServerLost;
    }
}

class TransactionNotBegun : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        CADOConn::SetBusyTimeout(int(kBusyWait.count()));
    }
    void TearDown() override {
        CADOConn::SetBusyTimeout(5000);
        DataFolderTest::TearDown();
    }
    static papers::PaperRecord Paper(const QString& name, const QString& mode,
                                     const QString& subject) {
        papers::Sections sections;
        sections[0] = {"<" + subject + ">\r\n每题2.0分。\r\n一线员工:简单=1,;", 1, "2.0"};
        return papers::ComposePaper(name, mode, subject, sections, Now());
    }
};

// Each write unit of the program, its transaction refused at BEGIN: on the local files by
// another program's lock past the busy wait, on a server by the loss of the session.
// Nothing of the unit may be stored, and the caller must learn of the failure.
TEST_F(TransactionNotBegun, NoWriteUnitStoresAnythingAndEachReportsTheFailure) {
    const QString questions = schema::kQuestionsFile, personnel = schema::kPersonnelFile;
    papers::StorePaper(Paper("多科卷", papers::kMultiSubject, "安全生产"), true);
    const qlonglong samplePaper =
        CADOConn().OpenRecordset("select ID from exampaper", questions)->GetText("ID").toLongLong();
    const qlonglong openRegistration =
        CADOConn()
            .OpenRecordset("select ID from ExamRegister where 成绩 is null", personnel)
            ->GetText("ID")
            .toLongLong();
    exams::ExamForm form{"新员工考试", "45",  "安全生产基础测试", "31.0",
                         "19",         Now(), Now().addDays(1)};
    entry::Draft draft{"安全生产", "单选题", "新题", {"甲", "乙", "丙", "丁", ""},
                       "A",        "",       "简单", "一线员工"};
    question_import::Question imported{
        "安全生产", "单选题", "导入题", "A", {"甲", "乙", "丙", "丁"}, "简单", "一线员工"};
    const Examinee qian{"钱七", "生产部", "操作工"};

    struct Unit {
        const char* what;
        QString file;
        QStringList tables;  // what must stay as it was
        std::function<bool()> reportsFailure;
    };
    const QStringList paperTables = {"exampaper", "testpaper"};
    const QStringList examTables = {"ExamArrange", "ExamRegister", "JoinExam", "examProgress"};
    const Unit units[] = {
        {"store a paper", questions, paperTables,
         [&] {
             return Raises([&] {
                 papers::StorePaper(Paper("期中", papers::kSingleSubject, "安全生产"), false);
             });
         }},
        {"store a first subject over left-overs", questions, paperTables,
         [&] {
             return Raises([&] {
                 papers::StorePaper(Paper("多科卷", papers::kMultiSubject, "规章制度"), true);
             });
         }},
        {"discard subjects", questions, paperTables,
         [&] { return Raises([&] { papers::DiscardSubjects("多科卷"); }); }},
        {"complete a multi-subject paper", questions, paperTables,
         [&] { return Raises([&] { papers::CompleteMultiSubject("多科卷", Now()); }); }},
        {"delete a paper", questions, paperTables,
         [&] { return Raises([&] { papers::DeletePaper(samplePaper); }); }},
        {"enter a question",
         questions,
         {"单选题"},
         [&] { return Raises([&] { entry::Store(draft, nullptr, nullptr); }); }},
        {"clear a bank",
         questions,
         {"单选题"},
         [&] { return !bank_clearing::ClearBank("单选题").error.isEmpty(); }},
        {"import questions",
         questions,
         {"单选题"},
         [&] {
             return !question_import::StoreQuestions("单选题", {imported}, {}).error.isEmpty();
         }},
        {"change a password",
         personnel,
         {"LastPass"},
         [&] {
             return Raises(
                 [&] { signin::StorePassword(codes::Account::SystemAdmin, "另一个密码"); });
         }},
        {"create an exam", personnel, examTables,
         [&] { return Raises([&] { exams::CreateExam(form, {qian}); }); }},
        {"add a registration", personnel, examTables,
         [&] { return Raises([&] { exams::AddRegistration("1", "19", qian); }); }},
        {"remove a registration", personnel, examTables,
         [&] { return Raises([&] { exams::RemoveRegistration(openRegistration, "1"); }); }},
        {"delete an exam", personnel, examTables,
         [&] { return Raises([&] { exams::DeleteExam("1"); }); }},
        {"import examinees",
         personnel,
         {"examinee"},
         [&] {
             return !examinee_import::StoreExaminees({qian, qian}).error.isEmpty();
         }},
    };
    for (const Unit& unit : units) {
        const QString before = Snapshot(unit.file, unit.tables);
        bool reported = false;
        if (TestServerDatabase::Active()) {
            EndServerSession(unit.file);
            reported = unit.reportsFailure();
        } else {
            ForeignWriteLock lock(unit.file);
            reported = unit.reportsFailure();
        }
        EXPECT_TRUE(reported) << unit.what;
        EXPECT_EQ(Snapshot(unit.file, unit.tables), before) << unit.what;
    }
}

}  // namespace
