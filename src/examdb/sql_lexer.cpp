#include "examdb/sql_lexer.h"

namespace examdb::sql {
namespace {

bool isWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordPart(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// End of a quoted run starting at begin with the quote character close; a doubled close
// character stands for itself.
qsizetype quotedEnd(QStringView sql, qsizetype begin, QChar close, bool doubling) {
    qsizetype i = begin + 1;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (doubling && i + 1 < sql.size() && sql[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

}  // namespace

std::vector<Token> tokenize(QStringView sql) {
    std::vector<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    auto at = [&](qsizetype k) { return k < n ? sql[k] : QChar(); };
    while (i < n) {
        const QChar c = sql[i];
        qsizetype end = i + 1;
        TokenKind kind = TokenKind::Punct;
        if (c.isSpace()) {
            kind = TokenKind::Space;
            while (end < n && sql[end].isSpace()) {
                ++end;
            }
        } else if (c == QLatin1Char('-') && at(i + 1) == QLatin1Char('-')) {
            kind = TokenKind::Comment;
            while (end < n && sql[end] != QLatin1Char('\n')) {
                ++end;
            }
        } else if (c == QLatin1Char('/') && at(i + 1) == QLatin1Char('*')) {
            kind = TokenKind::Comment;
            const qsizetype close = sql.indexOf(u"*/", i + 2);
            end = close < 0 ? n : close + 2;
        } else if (c == QLatin1Char('\'')) {
            kind = TokenKind::String;
            end = quotedEnd(sql, i, QLatin1Char('\''), true);
        } else if (c == QLatin1Char('"')) {
            kind = TokenKind::DoubleQuoted;
            end = quotedEnd(sql, i, QLatin1Char('"'), true);
        } else if (c == QLatin1Char('`')) {
            kind = TokenKind::BackQuoted;
            end = quotedEnd(sql, i, QLatin1Char('`'), true);
        } else if (c == QLatin1Char('[')) {
            kind = TokenKind::Bracketed;
            end = quotedEnd(sql, i, QLatin1Char(']'), false);
        } else if (c.isDigit() || (c == QLatin1Char('.') && at(i + 1).isDigit())) {
            kind = TokenKind::Number;
            while (end < n &&
                   (sql[end].isLetterOrNumber() || sql[end] == QLatin1Char('.') ||
                    ((sql[end] == QLatin1Char('+') || sql[end] == QLatin1Char('-')) &&
                     (sql[end - 1] == QLatin1Char('e') || sql[end - 1] == QLatin1Char('E'))))) {
                ++end;
            }
        } else if (isWordStart(c)) {
            kind = TokenKind::Word;
            while (end < n && isWordPart(sql[end])) {
                ++end;
            }
        } else {
            const QStringView two = sql.mid(i, 2);
            if (two == u"<>" || two == u"<=" || two == u">=" || two == u"!=" || two == u"||" ||
                two == u"==" || two == u"<<" || two == u">>") {
                end = i + 2;
            }
        }
        tokens.push_back({kind, i, end});
        i = end;
    }
    return tokens;
}

bool isWord(QStringView sql, const Token& t, QStringView keyword) {
    return t.kind == TokenKind::Word && text(sql, t).compare(keyword, Qt::CaseInsensitive) == 0;
}

bool isPunct(QStringView sql, const Token& t, QStringView punct) {
    return t.kind == TokenKind::Punct && text(sql, t) == punct;
}

QString unquoted(QStringView sql, const Token& t) {
    const QStringView raw = text(sql, t);
    switch (t.kind) {
        case TokenKind::Bracketed:
            return raw.mid(1, raw.endsWith(u']') ? raw.size() - 2 : raw.size() - 1).toString();
        case TokenKind::DoubleQuoted:
        case TokenKind::BackQuoted: {
            const QChar q = raw[0];
            QStringView inner = raw.mid(1);
            if (inner.size() > 0 && inner.endsWith(q)) {
                inner.chop(1);
            }
            return inner.toString().replace(QString(2, q), QString(q));
        }
        default:
            return raw.toString();
    }
}

std::vector<int> significant(const std::vector<Token>& tokens) {
    std::vector<int> indexes;
    indexes.reserve(tokens.size());
    for (int i = 0; i < int(tokens.size()); ++i) {
        if (isSignificant(tokens[size_t(i)])) {
            indexes.push_back(i);
        }
    }
    return indexes;
}

}  // namespace examdb::sql
