#pragma once

#include <QString>
#include <QStringList>

class CADOConn;

// The two data files, their permanent tables and the scratch tables the screens
// create and drop.
namespace schema {

inline const QString kQuestionsFile = QStringLiteral("questions.mdb");
inline const QString kPersonnelFile = QStringLiteral("personnel.mdb");

// The difficulty names.
QStringList Difficulties();

// The scratch tables, one definition each: the draw pool `interim` (in personnel.mdb for an
// examinee's paper, in questions.mdb for a printed one) and the examinee's paper `exam`.
extern const char* const kCreateInterim;
extern const char* const kDropInterim;
extern const char* const kCreateExam;
extern const char* const kDropExam;

// Obtains an empty scratch table: drops it if it is there, then creates it.
void RecreateScratchTable(CADOConn& conn, const QString& file, const QString& create,
                          const QString& drop);

// The create statements of the permanent tables of each file.
QStringList QuestionsTables();
QStringList PersonnelTables();
// Creates the permanent tables and their indexes in an open connection; raises
// DatabaseError when a table cannot be made, false when an index could not.
bool CreatePermanentTables(CADOConn& conn, const QString& file);

// The indexes of each file, one per way the program looks rows up: the draw and the
// paper counts (题型, 对象, 难度, 科目), the bank filter and subject lists (科目),
// sign-in, exam selection, registry search and duplicate removal (姓名, 部门, 职务,
// 考试号). Each statement is "create index if not exists", so running them again is
// harmless.
QStringList QuestionsIndexes();
QStringList PersonnelIndexes();
// Adds the indexes an open data file lacks, in one transaction; rows are not touched.
// False when any could not be made (a table missing); the others are kept.
bool CreateIndexes(CADOConn& conn, const QString& file);
// A folder made before the indexes (or a table) existed gains them when the program
// starts in it.
// Files that are missing or not databases are left to the screens that report them.
void AddMissingIndexes();

}  // namespace schema
