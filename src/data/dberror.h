#pragma once

#include <QString>
#include <stdexcept>
#include <string>

// The failures of the data a user is told apart.
enum class DataFailure {
    Busy,         // a local file locked by another program or station past the wait
    FileMissing,  // no data file where it should be
    FileDamaged,  // empty, damaged, foreign, or not readable and writable
    ServerLost,   // the server out of reach, or the link to it gone
    Refused,      // a rule of the database (a constraint) refused the change
    Other,        // anything else, told with the engine's own text
};

// Raised when the data cannot be read or stored. what() is the text for the user, in
// Chinese; Code() the engine's own code of the failure (SQLite's result code, the server's
// SQLSTATE), empty for failures the program itself finds. Handlers that trap database
// errors catch this type.
class DatabaseError : public std::runtime_error {
public:
    DatabaseError(DataFailure kind, const QString& detail, const QString& code = QString());
    // A failure found by the program itself, told with the given text.
    explicit DatabaseError(const std::string& text) : std::runtime_error(text) {}
    explicit DatabaseError(const char* text) : std::runtime_error(text) {}
    explicit DatabaseError(const QString& text) : std::runtime_error(text.toStdString()) {}

    DataFailure Kind() const { return m_kind; }
    const QString& Code() const { return m_code; }
    QString Text() const { return QString::fromUtf8(what()); }

private:
    DataFailure m_kind = DataFailure::Other;
    QString m_code;
};

// The user's text for a failure of the data; the only place these texts are made.
// `detail` is the file's path for the file failures, the server's name for a lost server,
// and the engine's own text for the others.
QString DataFailureText(DataFailure kind, const QString& detail);
