#pragma once

#include <QVariant>

#include "app/testseams.h"

class QDialog;
class QWidget;

// Every screen of the program by its id. Screens never include one another: a screen
// asks for the next one by id, and the table in screens.cpp knows how to make it.
namespace screens {

enum class Id {
    Login,           // CLogin
    DataFolder,      // CChooseDataFolder, the first-start window; argument: the folder to propose
    Admin,           // CAdmin
    ExamManager,     // CExamManager
    ImportExaminee,  // CImportExaminee, argument: the workbook's path (QString)
    ExamLogin,       // CExamLogin
    ExamWindow,      // CVemoDlg, argument: the ExamTicket
    // The system administrator's side.
    ExamPaper,     // CExamPaper, the question bank browser
    AddQuestion,   // CAddQuestion, modal over the browser
    ExamInandout,  // CExamInandout, modal; argument: QStringList {mode "导入"/"删除", workbook path}
    VariouSet,     // CVariouSet, departments, subjects and objects
    SetPaper,      // CSetPaper, paper composition
    TestManage,    // CTestManage, paper management
    WordPaper,     // CWordPaper, modal; argument: the paper's name (QString)
    // The exam administrator's side.
    CreateExam,       // CCreateExam
    ExamManagement,   // CExamManagement
    CheckScore,       // CCheckScore, score query
    ScoreMap,         // CScoreMap, the score sheet picture; argument: the ScoreSheet
    HandworkCorrect,  // CHandworkCorrect, manual grading of essays
    ScoreStatistics,  // CScoreStatistics; argument: the exam's name (QString)
    ItemAnalysis,     // CItemAnalysis; argument: the exam's name (QString)
    AnswerSheet,      // CAnswerSheetView, modal; argument: the registration's ID (QString)
};

// The class name a screen is known by (what tests read from the recorded navigation).
QString ClassName(Id id);

// Makes a fresh screen `id` with `argument` each time it is called.
ScreenFactory Factory(Id id, const QVariant& argument = QVariant());

// Closes the current screen and shows the screen `id` next, made with `argument`.
void Go(QDialog* from, Id id, const QVariant& argument = QVariant());

// Shows the dialog `id` modally over `parent` and returns its result code.
int Open(QWidget* parent, Id id, const QVariant& argument = QVariant());

}  // namespace screens
