#include "data/schema.h"

#include <QFile>
#include <QFileInfo>

#include "data/adoconn.h"
#include "data/questiontype.h"

namespace schema {

QStringList Difficulties() {
    return {QStringLiteral("简单"), QStringLiteral("中等"), QStringLiteral("困难")};
}

const char* const kCreateInterim =
    "create table interim(ID AUTOINCREMENT PRIMARY KEY,科目 TEXT(255),题型 TEXT(255),\t\t\t\t"
    "题干 TEXT(255),答案 TEXT(255),A TEXT(255),B TEXT(255),C TEXT(255),\t\t\t\t"
    "D TEXT(255),E TEXT(255),分值 TEXT(255),难度 TEXT(255),对象 TEXT(255),图片 TEXT(255),\t\t\t\t"
    "题目编号 INT)";
const char* const kDropInterim = "drop table if exists interim";
const char* const kCreateExam =
    "create table exam(ID AUTOINCREMENT PRIMARY KEY,编号 INT,科目 TEXT(255),\t\t\t\t"
    "题型 TEXT(255),题干 TEXT(255),A TEXT(255),B TEXT(255),C TEXT(255),\t\t\t\t"
    "D TEXT(255),E TEXT(255),答题 TEXT(255),分值 TEXT(255),图片 TEXT(255),题目编号 INT)";
const char* const kDropExam = "drop table if exists exam";

void RecreateScratchTable(CADOConn& conn, const QString& file, const QString& create,
                          const QString& drop) {
    conn.ExecuteStatement(drop, file);
    conn.ExecuteStatement(create, file);
}

QStringList QuestionsTables() {
    QStringList tables;
    for (const QString& type : qtype::Names())
        tables << "create table " + type +
                      "(ID AUTOINCREMENT PRIMARY KEY,科目 TEXT,题型 TEXT,题干 TEXT,答案 TEXT,"
                      "A TEXT,B TEXT,C TEXT,D TEXT,E TEXT,难度 TEXT,对象 TEXT,图片 TEXT)";
    tables << QStringLiteral("create table Subject(ID AUTOINCREMENT PRIMARY KEY,科目 TEXT)");
    const QString paperColumns =
        "(ID AUTOINCREMENT PRIMARY KEY,名称 TEXT,科目 TEXT," + qtype::Names().join(" TEXT,") +
        " TEXT,总题数 TEXT,满分 TEXT,创建时间 TEXT,科目选项 TEXT,保存码 TEXT)";
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
        // One row per question of a handed-in paper: what the examinee saw and answered,
        // the reference answer and the points, with a save code over the row.
        QStringLiteral("create table answerSheet(ID AUTOINCREMENT PRIMARY KEY,考生编号 TEXT,"
                       "考试号 TEXT,题号 INT,题型 TEXT,题目编号 INT,科目 TEXT,题干 TEXT,"
                       "A TEXT,B TEXT,C TEXT,D TEXT,E TEXT,答案 TEXT,答题 TEXT,分值 TEXT,"
                       "得分 TEXT,保存码 TEXT)"),
        // The paper of an exam being taken, kept until its hand-in so that a station that
        // dies loses nothing: every drawn question with its reference and stored answer,
        // and per registration the time used so far.
        QStringLiteral("create table paperInProgress(ID AUTOINCREMENT PRIMARY KEY,考生编号 TEXT,"
                       "题号 INT,题型 TEXT,题目编号 INT,科目 TEXT,题干 TEXT,A TEXT,B TEXT,"
                       "C TEXT,D TEXT,E TEXT,答案 TEXT,答题 TEXT,分值 TEXT,图片 TEXT)"),
        QStringLiteral("create table examProgress(ID AUTOINCREMENT PRIMARY KEY,考生编号 TEXT,"
                       "考试号 TEXT,用时 INT)"),
    };
}

namespace {

bool IsQuestionsFile(const QString& file) {
    return QFileInfo(file).fileName() == kQuestionsFile;
}

QString IndexStatement(const QString& name, const QString& table, const QString& columns,
                       const QString& condition = QString()) {
    QString sql = "create index if not exists " + name + " on " + table + "(" + columns + ")";
    if (!condition.isEmpty()) sql += " where " + condition;
    return sql;
}

// A file whose header says SQLite: anything else is reported by the screen that opens it.
bool LooksLikeDatabase(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(16) == QByteArray("SQLite format 3", 16);
}

}  // namespace

bool CreatePermanentTables(CADOConn& conn, const QString& file) {
    const QStringList statements = IsQuestionsFile(file) ? QuestionsTables() : PersonnelTables();
    for (const QString& sql : statements)
        conn.ExecuteStatement(sql, file);
    return CreateIndexes(conn, file);
}

QStringList QuestionsIndexes() {
    QStringList indexes;
    for (const QString& type : qtype::Names()) {
        // 题型 last: the draw of every subject ("无") still seeks by 对象 and 难度 and
        // reads 题型 and ID from the index alone.
        indexes << IndexStatement(type + "_draw", type, "对象,难度,科目,题型")
                << IndexStatement(type + "_subject", type, "科目,题型");
    }
    return indexes;
}

QStringList PersonnelIndexes() {
    return {
        IndexStatement("examinee_person", "examinee", "姓名,部门,职务"),
        IndexStatement("examinee_department", "examinee", "部门,职务"),
        IndexStatement("ExamRegister_exam", "ExamRegister", "考试号"),
        IndexStatement("ExamRegister_person", "ExamRegister", "姓名,部门,职务,考试号"),
        IndexStatement("ExamRegister_examname", "ExamRegister", "考试名称"),
        // Sign-in checks every registration not yet taken; taken ones stay out of it.
        IndexStatement("ExamRegister_unscored", "ExamRegister", "考试号", "成绩 is null"),
        IndexStatement("JoinExam_exam", "JoinExam", "考试号"),
        IndexStatement("quesAndAns_exam", "quesAndAns", "考试号"),
        IndexStatement("answerSheet_exam", "answerSheet", "考试号"),
        IndexStatement("answerSheet_registration", "answerSheet", "考生编号,题号"),
        IndexStatement("paperInProgress_registration", "paperInProgress", "考生编号,题号"),
        IndexStatement("examProgress_registration", "examProgress", "考生编号"),
        IndexStatement("examProgress_exam", "examProgress", "考试号"),
    };
}

bool CreateIndexes(CADOConn& conn, const QString& file) {
    try {
        CTransaction transaction(conn);
        // A table missing from a damaged file costs its own indexes only.
        bool all = true;
        for (const QString& sql : IsQuestionsFile(file) ? QuestionsIndexes() : PersonnelIndexes())
            all = conn.ExecuteIfPossible(sql, file) && all;
        transaction.Commit();
        return all;
    } catch (const DatabaseError&) {
        return false;
    }
}

void AddMissingIndexes() {
    for (const QString& file : {kQuestionsFile, kPersonnelFile}) {
        if (!LooksLikeDatabase(file)) continue;
        CADOConn conn;
        try {
            conn.OpenDatabase(file);
        } catch (const DatabaseError&) {
            continue;  // told when the data is used
        }
        // Tables added since the folder was made; the ones it has stay as they are.
        for (QString sql : IsQuestionsFile(file) ? QuestionsTables() : PersonnelTables())
            conn.ExecuteIfPossible(sql.replace(QStringLiteral("create table "),
                                               QStringLiteral("create table if not exists ")),
                                   file);
        CreateIndexes(conn, file);
    }
}

}  // namespace schema
