#include <sqlite3.h>

#include <QFileInfo>
#include <QProcess>

#include "backup.h"
#include "data/adoconn.h"
#include "data/codes.h"
#include "data/schema.h"
#include "data/ziparchive.h"
#include "rules/exams.h"
#include "stations.h"
#include "testutil.h"

namespace {

// Backups read the data files themselves: a folder of local files.
class Backup : public DataFolderTest {
protected:
    void SetUp() override {
        if (TestServerDatabase::Active()) GTEST_SKIP() << "backs up local data files";
        DataFolderTest::SetUp();
    }
    QTemporaryDir elsewhere;
};

QString IntegrityOf(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
    const QString verdict =
        sqlite3_step(check) == SQLITE_ROW
            ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)))
            : QStringLiteral("unreadable");
    sqlite3_finalize(check);
    sqlite3_close_v2(db);
    return verdict;
}

// Checks the restored folder as the program would, inside it: both files whole, every save
// code and counter right. Returns how many registrations carry a score.
int ScoredInRestoredFolder(const QString& folder, const QString& examNo) {
    const QString previous = QDir::currentPath();
    EXPECT_TRUE(QDir::setCurrent(folder));
    for (const QString& file : {schema::kQuestionsFile, schema::kPersonnelFile})
        EXPECT_EQ(IntegrityOf(file), "ok") << file.toStdString();
    EXPECT_EQ(exams::CheckRegistrations(examNo).verdict, exams::RegistrationVerdict::Listed);
    CADOConn conn;
    int scored = 0;
    for (auto rows = conn.OpenRecordset("select * from ExamRegister", schema::kPersonnelFile);
         !rows->IsEOF(); rows->MoveNext()) {
        scored += !rows->IsNull("成绩");
        EXPECT_TRUE(rows->IsNull("成绩") ? codes::EnrolmentIntact(*rows)
                                         : codes::ScoreIntact(*rows))
            << rows->GetText("姓名").toStdString();
    }
    for (auto exams = conn.OpenRecordset("select * from ExamArrange", schema::kPersonnelFile);
         !exams->IsEOF(); exams->MoveNext())
        EXPECT_TRUE(codes::ExamIntact(*exams));
    conn.CloseDatabase();
    for (auto papers = conn.OpenRecordset("select * from exampaper", schema::kQuestionsFile);
         !papers->IsEOF(); papers->MoveNext())
        EXPECT_TRUE(codes::PaperIntact(*papers));
    conn.CloseDatabase();
    EXPECT_TRUE(QDir::setCurrent(previous));
    return scored;
}

TEST_F(Backup, TakenWhileStationsHandInRestoresWithEveryCodeValid) {
    CADOConn conn;
    auto exam = conn.OpenRecordset("select * from ExamArrange", schema::kPersonnelFile);
    const QString examNo = exam->GetText("考试号"), passMark = exam->GetText("合格分数");
    conn.CloseDatabase();
    for (int i = 0; exams::ListRegistrations(examNo).size() < 12; ++i)
        ASSERT_EQ(exams::AddRegistration(examNo, passMark,
                                         {QString("考生%1").arg(i), "生产部", "操作工"}),
                  exams::AddOutcome::Added);

    // One station at a time: stations on the local files share its scratch tables, and the
    // backups are what runs beside them.
    const auto registrations = exams::ListRegistrations(examNo);
    std::vector<std::unique_ptr<QProcess>> stations;
    auto running = [&] {
        if (!stations.empty() && stations.back()->state() != QProcess::NotRunning &&
            !stations.back()->waitForFinished(0))
            return true;
        if (stations.size() == registrations.size()) return false;
        stations.push_back(std::move(StartStations({registrations[stations.size()]}, passMark)[0]));
        return true;
    };
    QStringList archives;
    for (int taken = 0; running() || taken < 2; ++taken) {
        archives << elsewhere.filePath(QString("backup%1.zip").arg(taken));
        QString error;
        ASSERT_TRUE(BackupDataFolder(".", archives.last(), &error)) << error.toStdString();
    }
    for (auto& station : stations) {
        if (station->state() != QProcess::NotRunning) {
            ASSERT_TRUE(station->waitForFinished(120000));
        }
        EXPECT_EQ(station->exitCode(), 0) << station->readAll().toStdString();
    }
    ASSERT_TRUE(BackupDataFolder(".", elsewhere.filePath("after.zip"), nullptr));
    archives << elsewhere.filePath("after.zip");

    for (const QString& archive : archives) {
        const QString folder = elsewhere.filePath(QFileInfo(archive).baseName());
        QString error;
        ASSERT_TRUE(RestoreDataFolder(archive, folder, &error)) << error.toStdString();
        EXPECT_TRUE(QFile::exists(folder + "/vemoconf.ini") &&
                    QFile::exists(folder + "/QuestionMap/单选题4.bmp") &&
                    QFile::exists(folder + "/wordtest.docx"));
        const int scored = ScoredInRestoredFolder(folder, examNo);
        if (archive.endsWith("after.zip")) {
            EXPECT_EQ(scored, int(stations.size()));
        }
    }
}

TEST_F(Backup, RefusesWhatWouldLoseOrEscapeAndLeavesTheFolderEmpty) {
    const QString good = elsewhere.filePath("good.zip");
    ASSERT_TRUE(BackupDataFolder(".", good, nullptr));
    EXPECT_FALSE(BackupDataFolder(".", good, nullptr)) << "an existing archive is kept";

    QFile::copy(good, elsewhere.filePath("damaged.zip"));
    QFile damaged(elsewhere.filePath("damaged.zip"));
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    damaged.seek(damaged.size() / 3);
    damaged.write(QByteArray(64, '\x5a'));
    damaged.close();
    QFile notZip(elsewhere.filePath("notzip.zip"));
    ASSERT_TRUE(notZip.open(QIODevice::WriteOnly));
    notZip.write("PK\x03\x04 not really");
    notZip.close();
    QFile ini("vemoconf.ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray settings = ini.readAll();
    ASSERT_TRUE(ziparchive::Write(elsewhere.filePath("escape.zip"),
                                  {{"vemoconf.ini", settings}, {"QuestionMap/../../x", "x"}}));
    ASSERT_TRUE(ziparchive::Write(elsewhere.filePath("nodata.zip"), {{"vemoconf.ini", settings}}));

    const struct {
        const char* archive;
        bool folderHoldsAFile;
    } cases[] = {{"good.zip", true},    {"damaged.zip", false}, {"notzip.zip", false},
                 {"escape.zip", false}, {"nodata.zip", false},  {"missing.zip", false}};
    for (const auto& c : cases) {
        const QString folder = elsewhere.filePath(QString("into-%1").arg(c.archive));
        QDir().mkpath(folder);
        if (c.folderHoldsAFile) QFile(folder + "/kept.txt").open(QIODevice::WriteOnly);
        QString error;
        EXPECT_FALSE(RestoreDataFolder(elsewhere.filePath(c.archive), folder, &error)) << c.archive;
        EXPECT_FALSE(error.isEmpty()) << c.archive;
        const QStringList left = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        EXPECT_EQ(left, c.folderHoldsAFile ? QStringList{"kept.txt"} : QStringList{}) << c.archive;
    }
    EXPECT_FALSE(QFile::exists(elsewhere.filePath("x")));
}

}  // namespace
