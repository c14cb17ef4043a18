#pragma once

#include <QDateTime>
#include <QString>

// Where the program finds its data: the data folder becomes the current directory, in
// which every screen and rule opens the data files by name.
namespace datafolder {

// The places that may name the data folder, in the order they are asked.
struct Sources {
    QString current;      // the current directory: taken when it holds the data files
    QString option;       // --data DIR
    QString environment;  // VEMO_DATA
    QString remembered;   // the folder in the user's vemo.conf
};

struct Located {
    QString folder;  // absolute; the one to propose when it holds no data
    bool holdsData = false;
};

// The current directory when it holds the data, else the first folder named by the
// option, the environment and the remembered folder; else the default new folder.
Located Locate(const Sources& sources);

// The user's settings file of the program, ~/.config/vemo/vemo.conf (XDG_CONFIG_HOME).
QString ConfigFile();
// The folder remembered in ConfigFile(); empty when none.
QString Remembered();
bool Remember(const QString& folder);
// Where a new data folder goes unless the user says otherwise: ~/Vemo.
QString DefaultNewFolder();
// A folder as the user typed it ("~/…", relative or absolute), made absolute.
QString Absolute(const QString& typed);

// Makes `folder` the data folder in use: the current directory, with the indexes a folder
// made by an older version lacks.
bool Enter(const QString& folder);
QString InUse();
// The server the folder in use names; empty for data files.
QString ServerInUse();

// A template (examinee.xls, questions.xls, wordtest.docx): the data folder's own, which
// the organisation may have reworked, else the one installed with the program; the
// data folder's path when there is neither.
QString TemplateFile(const QString& name);

// What the first-start window offers.
enum class Choice { SampleFolder, EmptySiteFolder, ExistingFolder, Server };

struct Outcome {
    bool entered = false;
    QString message;  // what to tell the user; empty when there is nothing to say
};

// Makes or checks the chosen folder (and for Server, the server's data at `serverUrl`),
// enters it and remembers it.
Outcome Choose(Choice choice, const QString& typedFolder, const QString& serverUrl,
               const QDateTime& now);

}  // namespace datafolder
