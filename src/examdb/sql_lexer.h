#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace examdb::sql {

enum class TokenKind {
    Word,       // keyword or bare name
    Bracketed,  // [name]
    DoubleQuoted,
    BackQuoted,
    String,  // 'text'
    Number,
    Punct,  // operators and punctuation, "<>", "<=", ">=", "!=", "||" as one token
    Space,
    Comment,
};

struct Token {
    TokenKind kind;
    qsizetype begin;
    qsizetype end;
};

// Splits sql into tokens that together cover every character. Never fails: an unterminated
// quote or comment runs to the end of the text.
std::vector<Token> tokenize(QStringView sql);

inline QStringView text(QStringView sql, const Token& t) {
    return sql.mid(t.begin, t.end - t.begin);
}

inline bool isSignificant(const Token& t) {
    return t.kind != TokenKind::Space && t.kind != TokenKind::Comment;
}

inline bool isName(const Token& t) {
    return t.kind == TokenKind::Word || t.kind == TokenKind::Bracketed ||
           t.kind == TokenKind::DoubleQuoted || t.kind == TokenKind::BackQuoted;
}

// A word token equal to keyword, without regard to case.
bool isWord(QStringView sql, const Token& t, QStringView keyword);
bool isPunct(QStringView sql, const Token& t, QStringView punct);

// A name token without its quotes ([a b] -> a b, "x""y" -> x"y).
QString unquoted(QStringView sql, const Token& t);

// Indexes of the significant tokens, in order.
std::vector<int> significant(const std::vector<Token>& tokens);

}  // namespace examdb::sql
