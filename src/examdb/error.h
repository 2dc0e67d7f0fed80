#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

struct sqlite3;

namespace examdb {

// Numbers of the failures our own checks report. They are the numbers the catalogue's statements
// were written against, so a message box reads as users of such programs expect. Failures of
// SQLite itself carry SQLite's primary result code (1 to 28), which never collides with these.
namespace errc {
inline constexpr int UpdateWithoutEdit = 3020;  // Update or field write without Edit/AddNew
inline constexpr int NoCurrentRecord =
    3021;                                  // move on an empty set, past BOF/EOF, field at BOF/EOF
inline constexpr int FileNotFound = 3024;  // database file missing
inline constexpr int ReadOnly = 3027;      // write to a row that maps to no single table row
inline constexpr int SelectInExecute = 3065;     // Execute given a statement that returns rows
inline constexpr int TableNotFound = 3078;       // required table missing from the file
inline constexpr int InvalidStatement = 3129;    // empty statement
inline constexpr int TrailingCharacters = 3142;  // more than one statement in one Execute
inline constexpr int FieldNotUpdatable = 3164;   // write to a computed column
inline constexpr int RecordDeleted = 3167;       // the row was deleted by someone else
inline constexpr int BadConnectString = 3170;    // connect string part is not key=value
inline constexpr int ItemNotFound = 3265;        // unknown field name/position, missing column
inline constexpr int NotADatabase = 3343;        // file is not a database
inline constexpr int ObjectClosed = 3420;        // use of a closed database, record set or source
inline constexpr int ConversionError = 3421;     // value cannot be stored in the column's type
}  // namespace errc

class Error : public std::exception {
public:
    Error(int number, QString text);

    // "number: text" in UTF-8.
    const char* what() const noexcept override { return what_.constData(); }

    int number;
    QString text;

private:
    QByteArray what_;
};

// Throws SQLite's current failure on db; context names the file and, where useful, the statement.
[[noreturn]] void throwSqliteError(sqlite3* db, const QString& context);

}  // namespace examdb
