#pragma once

#include <sys/types.h>
#include <QString>
#include <map>
#include <optional>

#include "examdb/database.h"
#include "examdb/statement.h"

namespace exam {

// What a draw runs on one exam's tables. Each is reset after use, so none holds a lock
// between draws.
struct DrawStatements {
    examdb::Statement clearDraw;   // empties tblRandom
    examdb::Statement clearMarks;  // clears responses left in the exam table
    examdb::Statement bounds;      // lowest and highest ID
    examdb::Statement ids;         // every ID
    examdb::Statement has;         // a row when a question carries ID ?1
    examdb::Statement insert;      // tblRandom row ?1 holds ID ?2
};

// The record of the exam under way that each draw replaces.
struct AttemptStatements {
    examdb::Statement create;  // the table, if something dropped it since
    examdb::Statement clear;   // the previous exam's row goes
    examdb::Statement begin;   // the new exam's row
};

// The draw's connection, kept open from one draw to the next with its statements prepared:
// opening a connection, reading the schema into it and parsing statements is most of what a
// draw of a few questions costs.
class DrawConnection {
public:
    // Opened again whenever fileName leads to another file than last time, or the file
    // changed since (which checks it again, as opening any connection does).
    DrawConnection& use(const QString& fileName);

    examdb::Database& database() { return db_; }
    DrawStatements& statements(int exam);
    // Made on the first draw; the table itself is made by running create.
    AttemptStatements& attemptStatements();

private:
    struct FileIdentity {
        dev_t device = 0;
        ino_t inode = 0;
        qint64 size = -1;
        qint64 modifiedNs = -1;
        bool operator==(const FileIdentity&) const = default;
    };
    static FileIdentity identify(const QString& fileName);

    examdb::Database db_;
    FileIdentity file_;
    // After db_: finalized before the connection closes.
    std::map<int, DrawStatements> byExam_;
    std::optional<AttemptStatements> attempt_;
};

}  // namespace exam
