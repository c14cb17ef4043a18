#pragma once

#include <QString>
#include <QStringList>

// The application: refuses a second running copy, prepares the desktop (Chinese
// texts of Qt's own dialogs, the database error box) and runs the screens, starting
// with the sign-in screen.
class CVemoApp {
public:
    // What the command line asks for. Arguments it does not know are left to Qt.
    struct CommandLine {
        bool help = false;
        bool version = false;
        QString dataFolder;  // --data DIR
        QString error;       // a usage error, for standard error
    };
    static CommandLine ParseCommandLine(const QStringList& arguments);

    // Returns the process exit code.
    int Run(int& argc, char** argv);

    // Loads Qt's Chinese translations and routes database connection errors to the
    // application-titled message box; the tests call it too.
    static void PrepareDesktop();

    // The name of the single-instance lock: "Vemo", or VEMO_INSTANCE_NAME when that
    // holds a plain name (letters, digits, '-' and '_').
    static QString InstanceName();
};
