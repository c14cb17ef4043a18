#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include "data/workbook.h"
#include "datafolder.h"

#ifdef VEMO_WORKBOOK_READER
// Workbooks are read by the helper program of the build tree.
inline const bool kWorkbookReaderOfTheBuild = [] {
    SetWorkbookReaderProgram(QStringLiteral(VEMO_WORKBOOK_READER));
    return true;
}();
#endif

// Runs a test inside a fresh temporary folder, the current directory while it lasts,
// since the program finds its data files there.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    }
    void TearDown() override { QDir::setCurrent(m_previous); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
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
