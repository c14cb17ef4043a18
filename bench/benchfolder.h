#pragma once

#include <QDateTime>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include "data/adoconn.h"
#include "data/schema.h"
#include "datafolder.h"

// A delivered data folder as the current directory for as long as it lives.
class DataFolder {
public:
    DataFolder() : m_previous(QDir::currentPath()) {
        QString error;
        if (!CreateDataFolder(m_dir.path(), QDateTime::currentDateTime(), &error))
            qFatal("%s", qPrintable(error));
        QDir::setCurrent(m_dir.path());
    }
    ~DataFolder() { QDir::setCurrent(m_previous); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Empty scratch tables `interim` and `exam`, as 进入考试 finds them.
inline void FreshScratchTables() {
    CADOConn conn;
    schema::RecreateScratchTable(conn, schema::kPersonnelFile, schema::kCreateInterim,
                                 schema::kDropInterim);
    schema::RecreateScratchTable(conn, schema::kPersonnelFile, schema::kCreateExam,
                                 schema::kDropExam);
}

// The scratch table `exam` with 190 answered questions (50 单选题, 40 判断题, 40 填空题,
// 40 多选题, 20 问答题), the most the exam window's panel is laid out for; returns the
// reference answers in order.
inline QStringList StoreAnsweredPaper() {
    struct Section {
        const char* type;
        int count;
        const char* stem;
        const char* reference;
        const char* answer;
    };
    const Section sections[] = {
        {"单选题", 50, "电气设备着火时应首先采取哪项措施？", "B", "B"},
        {"判断题", 40, "进入车间必须佩戴安全帽。", "A", "B"},
        {"填空题", 40, "灭火器【  】检查一次，压力表指针应在【  】区。", "每月#绿", "每月#红"},
        {"多选题", 40, "属于个人防护用品的有？", "ACD", "AC"},
        {"问答题", 20, "简述发生火灾时的报警步骤。", "拨打119。", "拨打119，说明地点。"},
    };
    const QString file = schema::kPersonnelFile;
    CADOConn conn;
    conn.OpenDatabase(file);
    schema::RecreateScratchTable(conn, file, schema::kCreateExam, schema::kDropExam);
    CTransaction transaction(conn);
    QStringList references;
    int number = 0;
    for (const Section& s : sections) {
        for (int i = 0; i < s.count; ++i) {
            conn.ExecuteStatement(
                "insert into exam(编号,科目,题型,题干,答题,分值,A,B,C,D) "
                "values(?,?,?,?,?,?,?,?,?,?)",
                file,
                {++number, "安全生产", s.type, s.stem, s.answer, "2", "泼水", "切断电源",
                 "离开现场", "报告班长"});
            references << QString::fromUtf8(s.reference);
        }
    }
    transaction.Commit();
    return references;
}
