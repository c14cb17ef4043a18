#pragma once

#include <QString>

class QTextDocument;
class QWidget;

// File dialogs and "open with the system", through the test seam.
namespace desktop {

// An empty string when the user cancels.
QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& filter,
                        const QString& directory = QString());
QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                        const QString& directory = QString());
// A folder; an empty string when the user cancels.
QString GetExistingDirectory(QWidget* parent, const QString& caption, const QString& directory);
// Asks for a password with a masked field; an empty string when the user cancels.
QString AskPassword(QWidget* parent, const QString& title, const QString& label);
// Prints the document after the print dialog; false when the user cancels or it fails.
bool Print(QWidget* parent, QTextDocument& document, const QString& title);
// Opens a file with the program the desktop associates with it; false when none can.
bool OpenWithSystem(const QString& path);
// Whether the desktop names a program for the file's type (on Linux, its mime defaults).
bool HasProgramFor(const QString& path);
// The user's documents folder (made when missing), where documents the program makes go;
// the home folder when there is none.
QString DocumentsFolder();

}  // namespace desktop
