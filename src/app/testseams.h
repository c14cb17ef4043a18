#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>

// The program's contacts with the desktop (message boxes, notices, file dialogs,
// opening files with the system, moving between screens, ending the process) pass
// through here. In the program they do what they say; a test switches the recorder on
// to preset answers and to read what was shown and where the program went.
enum class MsgIcon { None, Information, Warning, Question };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

using ScreenFactory = std::function<std::unique_ptr<QDialog>()>;

namespace seams {

struct ShownMessage {
    QString text;
    QString title;
    MsgIcon icon;
    MsgButtons buttons;
};

struct ShownNotice {
    QString text;
    QString title;
    int seconds;
};

struct Navigation {
    QString screen;
    ScreenFactory factory;
};

struct Recorder {
    // Preset answers, consumed in order; a question with no answer left counts in
    // unanswered and is answered No.
    std::deque<MsgAnswer> answers;
    std::deque<QString> openFileAnswers;  // an empty string is a cancelled dialog
    std::deque<QString> saveFileAnswers;
    std::deque<QString> passwordAnswers;  // an empty string is a cancelled dialog
    int unanswered = 0;
    // Whether the desktop has a program for the files a screen opens.
    bool systemOpensFiles = true;
    // Where new documents go; empty for the current directory.
    QString documentsFolder;

    QList<ShownMessage> messages;
    QList<ShownNotice> notices;
    QStringList fileDialogs;
    QStringList suggestedSavePaths;  // what each save dialog offered
    QStringList passwordDialogs;  // their labels
    QStringList printed;          // the titles of the documents sent to the printer
    QStringList openedWithSystem;
    QList<Navigation> navigations;
    int exits = 0;

    // Builds the screen of the last navigation, as the program would show it next.
    std::unique_ptr<QDialog> TakeNextScreen();
};

// Switches recording on with a fresh recorder (tests only).
Recorder& StartRecording();
void StopRecording();
// The active recorder, or null in the program.
Recorder* Active();

}  // namespace seams
