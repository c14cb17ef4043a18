#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include "data/adoconn.h"
#include "data/schema.h"

// Reading and editing personnel.mdb the way an outsider would, for the exam tests.
namespace examdata {

inline void Execute(const QString& sql, const QString& file = schema::kPersonnelFile) {
    CADOConn conn;
    conn.ExecuteStatement(sql, file);
}

inline long Count(const QString& sql) {
    CADOConn conn;
    return conn.OpenRecordset(sql, schema::kPersonnelFile)->RecordCount();
}

// "考生质量/考生数量/registrations" of an exam; "none" for a missing counter row.
inline QString Counters(const QString& examNo) {
    CADOConn conn;
    auto row = conn.OpenRecordset("select * from JoinExam where 考试号=?", schema::kPersonnelFile,
                                  {examNo.toLongLong()});
    const QString registered =
        QString::number(Count("select * from ExamRegister where 考试号='" + examNo + "'"));
    if (row->RecordCount() == 0) return "none/" + registered;
    return row->GetText("考生质量") + "/" + row->GetText("考生数量") + "/" + registered;
}

// So that every case of a table starts from the delivered file.
inline void KeepOriginal(const QString& file) {
    QFile::remove(file + ".orig");
    ASSERT_TRUE(QFile::copy(file, file + ".orig"));
}
inline void RestoreOriginal(const QString& file) {
    QFile::remove(file);
    ASSERT_TRUE(QFile::copy(file + ".orig", file));
}

}  // namespace examdata
