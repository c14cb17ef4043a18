#pragma once

#include <QString>
#include <QStringList>

#include "data/adoconn.h"
#include "data/questiontype.h"
#include "data/schema.h"

// Question banks for the bank tests, written straight into the tables of the current
// data folder.
namespace bankfixture {

inline void EmptyBank() {
    CADOConn conn;
    for (const QString& type : qtype::Names())
        conn.ExecuteStatement("delete from " + type, schema::kQuestionsFile);
}

// `count` questions of `type` whose stems are `stem` followed by their number from 1.
inline void AddQuestions(const QString& type, int count, const QString& subject,
                         const QString& stem) {
    CADOConn conn;
    conn.OpenDatabase(schema::kQuestionsFile);
    CTransaction transaction(conn);
    for (int i = 1; i <= count; ++i)
        conn.ExecuteStatement(
            "insert into " + type + "(科目,题型,题干,答案,A,B,难度,对象) values(?,?,?,?,?,?,?,?)",
            schema::kQuestionsFile,
            {subject, type, stem + QString::number(i), QStringLiteral("A"), QStringLiteral("甲"),
             QStringLiteral("乙"), QStringLiteral("简单"), QStringLiteral("一线员工")});
    transaction.Commit();
}

inline int CountRows(const QString& type, const QString& where = QString(),
                     const QVariantList& params = {}) {
    CADOConn conn;
    auto rs = conn.OpenRecordset("select count(*) as n from " + type + where,
                                 schema::kQuestionsFile, params);
    rs->MoveFirst();
    return rs->GetCollect("n").toInt();
}

}  // namespace bankfixture
