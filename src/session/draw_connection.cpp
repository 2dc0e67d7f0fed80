#include "session/draw_connection.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include "examdb/statements.h"
#include "session/attempt_store.h"

namespace exam {

DrawConnection::FileIdentity DrawConnection::identify(const QString& fileName) {
    struct stat info {};
    // Relative to the working folder, as opening the file is.
    if (fileName.isEmpty() || ::stat(QFile::encodeName(fileName).constData(), &info) != 0) {
        return {};
    }
    return {info.st_dev, info.st_ino, qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

DrawConnection& DrawConnection::use(const QString& fileName) {
    const FileIdentity file = identify(fileName);
    if (!db_.isOpen() || file.size < 0 || !(file == file_)) {
        byExam_.clear();
        attempt_.reset();
        db_.close();
        // A file that cannot be found is left to the opening to name.
        db_ = examdb::Database::open(fileName);
        file_ = file;
    }
    return *this;
}

DrawStatements& DrawConnection::statements(int exam) {
    auto found = byExam_.find(exam);
    if (found == byExam_.end()) {
        namespace s = examdb::statements;
        found = byExam_
                    .emplace(exam,
                             DrawStatements{
                                 db_.prepare(s::d1()), db_.prepare(s::s8Marked(exam)),
                                 db_.prepare(s::drawBounds(exam)), db_.prepare(s::drawIds(exam)),
                                 db_.prepare(s::drawHas(exam)), db_.prepare(s::drawInsert())})
                    .first;
    }
    return found->second;
}

AttemptStatements& DrawConnection::attemptStatements() {
    if (!attempt_) {
        // The others name the table, so it must be there before they are prepared; a view or
        // an index in its place, made while the program ran, is named rather than quoted.
        attempt::requireTable(db_, QFileInfo(db_.fileName()).fileName());
        examdb::Statement create = db_.prepare(attempt::createSql());
        create.step();
        create.reset();
        attempt_.emplace(AttemptStatements{std::move(create), db_.prepare(attempt::clearSql()),
                                           db_.prepare(attempt::beginSql())});
    }
    return *attempt_;
}

}  // namespace exam
