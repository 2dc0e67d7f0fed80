#include "examdb/criteria.h"

#include <optional>

#include "examdb/error.h"
#include "examdb/sql_lexer.h"

namespace examdb {
namespace {

[[noreturn]] void malformed(const QString& text) {
    throw Error(errc::CriteriaSyntax,
                QStringLiteral("Syntax error in criteria expression '%1'; expected "
                               "'column = value'.")
                    .arg(text));
}

std::optional<double> asNumber(const QVariant& v) {
    switch (v.metaType().id()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::Double:
        case QMetaType::Bool:
            return v.toDouble();
        case QMetaType::QString: {
            bool ok = false;
            const double d = v.toString().trimmed().toDouble(&ok);
            return ok ? std::optional<double>(d) : std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace

Criteria Criteria::parse(const QString& text) {
    const std::vector<sql::Token> tokens = sql::tokenize(text);
    const std::vector<int> sig = sql::significant(tokens);
    for (const sql::Token& t : tokens) {
        if (t.kind == sql::TokenKind::Comment) {
            malformed(text);
        }
    }
    auto tok = [&](size_t s) -> const sql::Token& { return tokens[size_t(sig[s])]; };
    auto punct = [&](size_t s, QStringView p) {
        return s < sig.size() && sql::isPunct(text, tok(s), p);
    };
    auto plainName = [&](size_t s) {
        return s < sig.size() &&
               (tok(s).kind == sql::TokenKind::Word || tok(s).kind == sql::TokenKind::Bracketed);
    };

    Criteria c;
    size_t s = 0;
    if (!plainName(s)) {
        malformed(text);
    }
    c.field = sql::text(text, tok(s)).toString();
    if (punct(s + 1, u".") && plainName(s + 2)) {
        c.field += QLatin1Char('.') + sql::text(text, tok(s + 2));
        s += 2;
    }
    if (!punct(++s, u"=")) {
        malformed(text);
    }
    ++s;
    bool negative = false;
    if (punct(s, u"-") || punct(s, u"+")) {
        negative = punct(s, u"-");
        ++s;
    }
    if (s + 1 != sig.size()) {
        malformed(text);
    }
    const sql::Token& v = tok(s);
    const QString literal = sql::text(text, v).toString();
    if (v.kind == sql::TokenKind::Number) {
        bool ok = false;
        const qlonglong whole = literal.toLongLong(&ok);
        if (ok) {
            c.value = negative ? -whole : whole;
        } else {
            const double d = literal.toDouble(&ok);
            if (!ok) {
                malformed(text);
            }
            c.value = negative ? -d : d;
        }
    } else if (!negative &&
               (v.kind == sql::TokenKind::String || v.kind == sql::TokenKind::DoubleQuoted)) {
        const QChar quote = literal[0];
        if (literal.size() < 2 || !literal.endsWith(quote)) {
            malformed(text);
        }
        c.value = literal.mid(1, literal.size() - 2).replace(QString(2, quote), QString(quote));
    } else {
        malformed(text);
    }
    return c;
}

bool Criteria::matches(const QVariant& cell) const {
    if (!cell.isValid() || cell.isNull()) {
        return false;
    }
    if (value.metaType().id() == QMetaType::QString) {
        if (cell.metaType().id() == QMetaType::QString) {
            return cell.toString().compare(value.toString(), Qt::CaseInsensitive) == 0;
        }
        const auto wanted = asNumber(value);
        const auto have = asNumber(cell);
        return wanted && have && *wanted == *have;
    }
    const auto have = asNumber(cell);
    if (!have) {
        return false;
    }
    if (value.metaType().id() == QMetaType::LongLong &&
        cell.metaType().id() == QMetaType::LongLong) {
        return cell.toLongLong() == value.toLongLong();
    }
    return *have == value.toDouble();
}

}  // namespace examdb
