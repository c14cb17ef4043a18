#pragma once

#include <QString>
#include <QStringList>

class CADOConn;

// The two data files, their permanent tables and the scratch tables the screens
// create and drop.
namespace schema {

inline const QString kQuestionsFile = QStringLiteral("questions.mdb");
inline const QString kPersonnelFile = QStringLiteral("personnel.mdb");

// The five question types: bank table names, values of 题型 and paper columns, in
// the order every section list uses.
QStringList QuestionTypes();
// The difficulty names.
QStringList Difficulties();

// Scratch tables of personnel.mdb, as the exam selection and the draw execute them.
extern const char* const kCreateInterim;
extern const char* const kDropInterim;
extern const char* const kCreateExam;
extern const char* const kDropExam;

// Obtains an empty scratch table: create, drop, create, each allowed to fail.
void RecreateScratchTable(CADOConn& conn, const QString& file, const QString& create,
                          const QString& drop);

// The create statements of the permanent tables of each file.
QStringList QuestionsTables();
QStringList PersonnelTables();
// Creates the permanent tables in an open connection; false at the first failure.
bool CreatePermanentTables(CADOConn& conn, const QString& file);

}  // namespace schema
