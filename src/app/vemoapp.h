#pragma once

#include <QString>

// The application: refuses a second running copy, prepares the desktop (Chinese
// texts of Qt's own dialogs, the database error box) and runs the screens, starting
// with the sign-in screen.
class CVemoApp {
public:
    // Returns the process exit code.
    int Run(int& argc, char** argv);

    // Loads Qt's Chinese translations and routes database connection errors to the
    // application-titled message box; the tests call it too.
    static void PrepareDesktop();

    // The name of the single-instance lock: "Vemo", or VEMO_INSTANCE_NAME when that
    // holds a plain name (letters, digits, '-' and '_').
    static QString InstanceName();
};
