#include "examdb/database.h"

#include "examdb/connection.h"
#include "examdb/dialect.h"
#include "examdb/error.h"

namespace examdb {
namespace {

[[noreturn]] void closedDatabase() {
    throw Error(errc::ObjectClosed,
                QStringLiteral("Object invalid or no longer set: the database is closed."));
}

}  // namespace

Database Database::open(const QString& fileName, const QString& connect) {
    Database db;
    db.connection_ = Connection::open(fileName, connect);
    return db;
}

Database::Database() = default;
Database::~Database() = default;
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;

QString Database::fileName() const {
    return connection_ ? connection_->label() : QString();
}

int Database::execute(const QString& accessSql) {
    if (!connection_) {
        closedDatabase();
    }
    Statement statement = connection_->prepare(toSqlite(accessSql));
    if (statement.columnCount() > 0) {
        throw Error(errc::SelectInExecute,
                    QStringLiteral("Cannot execute a select query: '%1'.").arg(accessSql));
    }
    statement.step();
    return sqlite3_changes(connection_->handle());
}

Statement Database::prepare(const QString& accessSql) {
    if (!connection_) {
        closedDatabase();
    }
    return connection_->prepare(toSqlite(accessSql));
}

Recordset Database::openRecordset(const QString& source) {
    if (!connection_) {
        closedDatabase();
    }
    return Recordset::open(connection_, source);
}

void Database::close() {
    connection_.reset();
}

sqlite3* Database::handle() const {
    if (!connection_) {
        closedDatabase();
    }
    return connection_->handle();
}

}  // namespace examdb
