#pragma once

#include <QDateTime>
#include <QString>

// Makes a delivered data folder: both data files with their tables, the initial
// password digests, the settings file, the question picture folder, the import templates
// examinee.xls and questions.xls, the printed-paper template wordtest.docx and sample data
// (a small bank of every question type, subjects, a paper of each subject mode, examinees
// and one exam that is open at `now`), every record with a valid save code.
// Refuses to overwrite existing data files. On failure returns false with a message.
bool CreateDataFolder(const QString& directory, const QDateTime& now, QString* error);
