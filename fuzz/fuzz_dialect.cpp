// Any statement text: the translation never crashes, and 'quoted texts' come out exactly as
// they went in, in the same order, since a rewrite inside a literal would change stored data.
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "examdb/dialect.h"
#include "examdb/sql_lexer.h"

namespace {

QStringList stringLiterals(const QString& sql) {
    QStringList out;
    for (const examdb::sql::Token& t : examdb::sql::tokenize(sql)) {
        if (t.kind == examdb::sql::TokenKind::String) {
            out << examdb::sql::text(sql, t).toString();
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString in = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString out = examdb::toSqlite(in);
    if (out != examdb::toSqlite(in)) {
        std::fputs("translation is not deterministic\n", stderr);
        std::abort();
    }
    if (stringLiterals(in) != stringLiterals(out)) {
        std::fprintf(stderr, "a quoted text changed:\n in: %s\nout: %s\n", qPrintable(in),
                     qPrintable(out));
        std::abort();
    }
    return 0;
}
