#include "data/schema.h"

#include <QFileInfo>

#include "data/adoconn.h"

namespace schema {

QStringList QuestionTypes() {
    return {QStringLiteral("单选题"), QStringLiteral("判断题"), QStringLiteral("填空题"),
            QStringLiteral("多选题"), QStringLiteral("问答题")};
}

QStringList Difficulties() {
    return {QStringLiteral("简单"), QStringLiteral("中等"), QStringLiteral("困难")};
}

const char* const kCreateInterim =
    "create table interim(ID AUTOINCREMENT PRIMARY KEY,科目 TEXT(255),题型 TEXT(255),\t\t\t\t"
    "题干 TEXT(255),答案 TEXT(255),A TEXT(255),B TEXT(255),C TEXT(255),\t\t\t\t"
    "D TEXT(255),E TEXT(255),分值 TEXT(255),难度 TEXT(255),对象 TEXT(255),图片 TEXT(255))";
const char* const kDropInterim = "Drop Table interim";
const char* const kCreateExam =
    "create table exam(ID AUTOINCREMENT PRIMARY KEY,编号 INT,科目 TEXT(255),\t\t\t\t"
    "题型 TEXT(255),题干 TEXT(255),A TEXT(255),B TEXT(255),C TEXT(255),\t\t\t\t"
    "D TEXT(255),E TEXT(255),答题 TEXT(255),分值 TEXT(255),图片 TEXT(255))";
const char* const kDropExam = "Drop Table exam";

void RecreateScratchTable(CADOConn& conn, const QString& file, const QString& create,
                          const QString& drop) {
    conn.ExecuteStatement(create, file);
    conn.ExecuteStatement(drop, file);
    conn.ExecuteStatement(create, file);
}

QStringList QuestionsTables() {
    QStringList tables;
    for (const QString& type : QuestionTypes())
        tables << "create table " + type +
                      "(ID AUTOINCREMENT PRIMARY KEY,科目 TEXT,题型 TEXT,题干 TEXT,答案 TEXT,"
                      "A TEXT,B TEXT,C TEXT,D TEXT,E TEXT,难度 TEXT,对象 TEXT,图片 TEXT)";
    tables << QStringLiteral("create table Subject(ID AUTOINCREMENT PRIMARY KEY,科目 TEXT)");
    const QString paperColumns = QStringLiteral(
        "(ID AUTOINCREMENT PRIMARY KEY,名称 TEXT,科目 TEXT,单选题 TEXT,判断题 TEXT,填空题 TEXT,"
        "多选题 TEXT,问答题 TEXT,总题数 TEXT,满分 TEXT,创建时间 TEXT,科目选项 TEXT,保存码 TEXT)");
    tables << "create table exampaper" + paperColumns << "create table testpaper" + paperColumns;
    return tables;
}

QStringList PersonnelTables() {
    return {
        QStringLiteral("create table LastPass(系统管理员密码 TEXT,考试管理员密码 TEXT)"),
        QStringLiteral(
            "create table examinee(ID AUTOINCREMENT PRIMARY KEY,姓名 TEXT,部门 TEXT,职务 TEXT)"),
        QStringLiteral("create table ExamArrange(考试号 AUTOINCREMENT PRIMARY KEY,考试名称 TEXT,"
                       "试卷名称 TEXT,开始时间 TEXT,结束时间 TEXT,考试时限 TEXT,合格分数 TEXT,"
                       "时效 TEXT,保存码 TEXT)"),
        QStringLiteral("create table ExamRegister(ID AUTOINCREMENT PRIMARY KEY,姓名 TEXT,部门 TEXT,"
                       "职务 TEXT,考试号 TEXT,合格分数 TEXT,考试名称 TEXT,成绩 TEXT,考试用时 TEXT,"
                       "考试时间 TEXT,问答题 TEXT,保存码 TEXT)"),
        QStringLiteral("create table JoinExam(考试号 INT,考生质量 INT,考生数量 INT)"),
        QStringLiteral("create table quesAndAns(ID AUTOINCREMENT PRIMARY KEY,姓名 TEXT,"
                       "考生编号 TEXT,部门 TEXT,职务 TEXT,考试号 TEXT,考试名称 TEXT,题干 TEXT,"
                       "答案 TEXT,答题 TEXT,分值 TEXT)"),
    };
}

bool CreatePermanentTables(CADOConn& conn, const QString& file) {
    const QStringList statements =
        QFileInfo(file).fileName() == kQuestionsFile ? QuestionsTables() : PersonnelTables();
    for (const QString& sql : statements)
        if (!conn.ExecuteStatement(sql, file)) return false;
    return true;
}

}  // namespace schema
