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
// Chinese (made by the functions of failure_text); Code() is the engine's own code of the
// failure (SQLite's extended result code, the server's SQLSTATE), empty for failures the
// program finds itself. Handlers that trap database errors catch this type.
class DatabaseError : public std::runtime_error {
public:
    DatabaseError(DataFailure kind, const QString& text, const QString& code = QString())
        : std::runtime_error(text.toStdString()), m_kind(kind), m_code(code) {}
    // A failure the program finds itself, told with the given text.
    explicit DatabaseError(const QString& text) : std::runtime_error(text.toStdString()) {}
    explicit DatabaseError(const std::string& text) : std::runtime_error(text) {}
    explicit DatabaseError(const char* text) : std::runtime_error(text) {}

    DataFailure Kind() const { return m_kind; }
    const QString& Code() const { return m_code; }
    QString Text() const { return QString::fromUtf8(what()); }

private:
    DataFailure m_kind = DataFailure::Other;
    QString m_code;
};

// The user's texts for failures of the data, made here only.
namespace failure_text {

QString Busy();
QString FileBusy(const QString& path);
QString FileMissing(const QString& path);
QString FileDamaged(const QString& path);
QString FileUnreadable(const QString& path);
// `host` and `port` as the link names them; empty ones read as the defaults.
QString ServerLost(const QString& host, const QString& port);
QString NoServerData(const QString& schema);
// The server's data of a logical file could not be opened, for `reason`.
QString ServerDataUnopened(const QString& schema, const QString& reason);
QString Refused();
// Any other failure, told with the engine's own text as it is: the screen says what was
// being done.
QString Other(const QString& engineText);
QString NotBegun(const QString& reason);
QString NotStored(const QString& reason);

}  // namespace failure_text
