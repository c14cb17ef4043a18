#pragma once

#include <QString>

// Who may read and write what the program creates. The data files hold the question bank
// with its answers and the examinees; the settings file may name the database server.
namespace filemodes {

// From now on the files and folders this process creates give others no access, whatever
// the user's umask (files 0660 and folders 0770 at most; the group keeps what the umask
// allows, so a site can share a data folder through a group). Called once at start.
void KeepFromOthers();

// Gives a file that belongs to the user rather than to the program (a printed paper) the
// mode his own umask would have given it.
void FollowUserUmask(const QString& path);

// Whether others than the owner and the group may write the file or folder.
bool WritableByOthers(const QString& path);

}  // namespace filemodes
