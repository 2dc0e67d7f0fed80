#include "examdb/statement.h"

#include "examdb/error.h"

namespace examdb {

Statement::Statement(sqlite3* db, const QString& sql, const QString& context)
    : db_(db), sql_(sql), context_(context) {
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &raw, &tail) != SQLITE_OK) {
        fail();
    }
    stmt_.reset(raw);
    if (!stmt_) {
        throw Error(errc::InvalidStatement,
                    QStringLiteral("Invalid SQL statement; expected 'DELETE', 'INSERT', 'SELECT' "
                                   "or 'UPDATE': '%1' (%2)")
                        .arg(sql, context));
    }
    // Preparing the rest tells blanks and comments (no statement) from a second statement.
    const char* end = utf8.constData() + utf8.size();
    if (tail != nullptr && tail < end) {
        sqlite3_stmt* extra = nullptr;
        const int rc = sqlite3_prepare_v2(db, tail, int(end - tail), &extra, nullptr);
        const StatementHandle extraHandle(extra);
        if (rc != SQLITE_OK || extraHandle) {
            throw Error(errc::TrailingCharacters,
                        QStringLiteral("Characters found after end of SQL statement: '%1' (%2)")
                            .arg(sql, context));
        }
    }
}

void Statement::fail() const {
    throwSqliteError(db_, context_ + QStringLiteral(": ") + sql_);
}

void Statement::bind(int index, const QVariant& value) {
    sqlite3_stmt* s = stmt_.get();
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(s, index);
    } else {
        switch (value.metaType().id()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int(s, index, value.toBool() ? 1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::Long:
            case QMetaType::ULong:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Char:
            case QMetaType::SChar:
            case QMetaType::UChar:
                rc = sqlite3_bind_int64(s, index, value.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(s, index, value.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = value.toByteArray();
                rc = sqlite3_bind_blob64(s, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                         SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray text = value.toString().toUtf8();
                rc = sqlite3_bind_text64(s, index, text.constData(), sqlite3_uint64(text.size()),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
                break;
            }
        }
    }
    if (rc != SQLITE_OK) {
        fail();
    }
}

void Statement::bind(int index, qint64 value) {
    if (sqlite3_bind_int64(stmt_.get(), index, value) != SQLITE_OK) {
        fail();
    }
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    fail();
}

void Statement::reset() {
    sqlite3_reset(stmt_.get());
    sqlite3_clear_bindings(stmt_.get());
}

QVariant Statement::value(int column) const {
    sqlite3_stmt* s = stmt_.get();
    switch (sqlite3_column_type(s, column)) {
        case SQLITE_INTEGER:
            return QVariant(qlonglong(sqlite3_column_int64(s, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(s, column));
        case SQLITE_TEXT: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
            return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(s, column)));
        }
        case SQLITE_BLOB: {
            const auto* data = static_cast<const char*>(sqlite3_column_blob(s, column));
            return QVariant(QByteArray(data, sqlite3_column_bytes(s, column)));
        }
        default:
            return QVariant();
    }
}

}  // namespace examdb
