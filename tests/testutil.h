#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include "data/profile.h"
#include "data/workbook.h"
#include "datafolder.h"

#ifdef VEMO_WORKBOOK_READER
// Workbooks are read by the helper program of the build tree.
inline const bool kWorkbookReaderOfTheBuild = [] {
    SetWorkbookReaderProgram(QStringLiteral(VEMO_WORKBOOK_READER));
    return true;
}();
#endif

// With VEMO_TEST_SERVER_URL set (a PostgreSQL URL whose role may create databases),
// each test's data lives in a database of its own on that server instead of in files.
class TestServerDatabase {
public:
    static QString ServerUrl() { return qEnvironmentVariable("VEMO_TEST_SERVER_URL"); }
    static bool Active() { return !ServerUrl().isEmpty(); }

    // Makes a fresh database and names it in the folder's settings; empty on success.
    QString Create(const QString& folder) {
        static int serial = 0;
        m_name =
            QStringLiteral("vemo_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++serial);
        const QString error =
            Run("CREATE DATABASE " + m_name + " TEMPLATE template0 ENCODING 'UTF8'");
        if (!error.isEmpty()) return error;
        const QString url = ServerUrl().left(ServerUrl().lastIndexOf('/') + 1) + m_name;
        if (!profile::WriteString("database", QString("url"), url, folder + "/vemoconf.ini"))
            return "cannot write the settings file";
        return QString();
    }
    ~TestServerDatabase() {
        if (!m_name.isEmpty()) Run("DROP DATABASE " + m_name + " WITH (FORCE)");
    }

private:
    static QString Run(const QString& sql) {
        PGconn* conn = PQconnectdb(ServerUrl().toUtf8().constData());
        PGresult* result = PQexec(conn, sql.toUtf8().constData());
        const QString error = PQresultStatus(result) == PGRES_COMMAND_OK
                                  ? QString()
                                  : QString::fromUtf8(PQerrorMessage(conn));
        PQclear(result);
        PQfinish(conn);
        return error;
    }
    QString m_name;
};

// Runs a test inside a fresh temporary folder, the current directory while it lasts,
// since the program finds its data files there.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
        if (TestServerDatabase::Active()) {
            const QString error = m_server.Create(m_dir.path());
            ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        }
    }
    void TearDown() override { QDir::setCurrent(m_previous); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
    TestServerDatabase m_server;
};

// The same, with a delivered data folder made as the program's tool makes it.
class DataFolderTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        QString error;
        ASSERT_TRUE(CreateDataFolder(".", Now(), &error)) << error.toStdString();
    }
    static QDateTime Now() { return QDateTime(QDate(2026, 12, 9), QTime(10, 30)); }
};
