#pragma once

#include <QString>

// Where the data lives: with a [database] url= line in the settings file beside the data
// files, both logical files are schemas of one PostgreSQL database; otherwise they are
// the SQLite files themselves.
namespace store {

// The libpq connection string for the data file `fileName` (read from vemoconf.ini in
// that file's folder), or empty for the local files.
QString ServerUrl(const QString& fileName);
// The schema that holds a logical data file on the server: "questions.mdb" → "questions".
QString SchemaName(const QString& fileName);

// How long the station waits for a server that does not answer, so that a stopped or
// unreachable server fails the action with a message instead of freezing the window.
// Read from the [database] section beside the url (keys of the same names; seconds,
// tcp_user_timeout in milliseconds); a missing or non-positive value keeps the default.
struct LinkLimits {
    int connectTimeout = 5;      // connect_timeout: reaching the server and signing in
    int keepalivesIdle = 5;      // keepalives_idle, _interval, _count: an idle link that
    int keepalivesInterval = 2;  // stops answering is found dead in about 11 s
    int keepalivesCount = 3;
    int tcpUserTimeout = 10000;  // tcp_user_timeout: data the server's machine never takes
    int replyTimeout = 8;        // reply_timeout: a statement whose answer never comes
    int checkTimeout = 3;        // check_timeout: the exam window's look at a quiet server
};
LinkLimits ReadLinkLimits(const QString& fileName);

// Whether the station's session with the server for a data file still answers, asked with
// the short check timeout; a silent server's session is cut and thereby lost. True for a
// local file.
bool SessionAnswers(const QString& fileName);

}  // namespace store

// The SQL of the program in PostgreSQL's spelling: "?" marks become $1, $2, ...; the
// autonumber key becomes an identity column; the Jet and SQLite idioms the program
// uses ("where 0", ifnull, TEXT(n)) become their PostgreSQL forms. "val" is a function
// of each schema. The scratch tables exam and interim are made temporary.
QString TranslateServerSql(const QString& sql);

// A row position of the server as the recordset keeps it: the tuple id (block, offset)
// packed in one number, and back as the text PostgreSQL reads.
qint64 PackTupleId(const QString& ctid);
QString TupleIdText(qint64 packed);
