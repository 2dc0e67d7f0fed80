#include "examdb/dialect.h"

#include <map>

#include "examdb/sql_lexer.h"

namespace examdb {
namespace {

using sql::Token;
using sql::TokenKind;

struct Rewriter {
    QStringView text;
    std::vector<Token> tokens;
    std::vector<int> sig;  // significant token indexes
    // Replacement for tokens [first, last] (indexes into tokens), keyed by first.
    std::map<int, std::pair<int, QString>> edits;

    const Token& at(size_t s) const { return tokens[size_t(sig[s])]; }
    bool word(size_t s, QStringView kw) const {
        return s < sig.size() && sql::isWord(text, at(s), kw);
    }
    bool punct(size_t s, QStringView p) const {
        return s < sig.size() && sql::isPunct(text, at(s), p);
    }
    bool name(size_t s) const { return s < sig.size() && sql::isName(at(s)); }

    void replace(size_t firstSig, size_t lastSig, const QString& with) {
        edits[sig[firstSig]] = {sig[lastSig], with};
    }

    // DELETE * FROM / DELETE name.* FROM
    void deleteStar(size_t s) {
        if (word(s + 1, u"from")) {
            return;
        }
        size_t from = 0;
        if (punct(s + 1, u"*") && word(s + 2, u"from")) {
            from = s + 2;
        } else if (name(s + 1) && punct(s + 2, u".") && punct(s + 3, u"*") &&
                   word(s + 4, u"from")) {
            from = s + 4;
        } else {
            return;
        }
        replace(s, from, QStringLiteral("DELETE FROM"));
    }

    // UPDATE t SET t.a = x, [t].[b] = y WHERE ...: drop the qualifiers of assigned columns.
    void updateSet(size_t s) {
        size_t i = s + 1;
        int depth = 0;
        while (i < sig.size() && !(depth == 0 && word(i, u"set"))) {
            depth += punct(i, u"(") ? 1 : punct(i, u")") ? -1 : 0;
            ++i;
        }
        bool assignmentStart = true;
        depth = 0;
        for (++i; i < sig.size(); ++i) {
            if (depth == 0 && (word(i, u"where") || word(i, u"from") || word(i, u"returning") ||
                               word(i, u"order") || word(i, u"limit") || punct(i, u";"))) {
                return;
            }
            if (assignmentStart && name(i) && punct(i + 1, u".") && name(i + 2) &&
                punct(i + 3, u"=")) {
                replace(i, i + 1, QString());
            }
            assignmentStart = false;
            if (punct(i, u"(")) {
                ++depth;
            } else if (punct(i, u")")) {
                --depth;
            } else if (depth == 0 && punct(i, u",")) {
                assignmentStart = true;
            }
        }
    }

    void literal(size_t s) {
        const Token& t = at(s);
        if (t.kind != TokenKind::Word) {
            return;
        }
        // A qualified part (t.No, No.x) is a name, not a literal.
        if ((s > 0 && punct(s - 1, u".")) || punct(s + 1, u".")) {
            return;
        }
        const QStringView w = sql::text(text, t);
        if (w.compare(u"yes", Qt::CaseInsensitive) == 0 ||
            w.compare(u"true", Qt::CaseInsensitive) == 0) {
            replace(s, s, QStringLiteral("1"));
        } else if (w.compare(u"no", Qt::CaseInsensitive) == 0 ||
                   w.compare(u"false", Qt::CaseInsensitive) == 0) {
            replace(s, s, QStringLiteral("0"));
        }
    }

    QString result() const {
        QString out;
        out.reserve(text.size());
        for (int i = 0; i < int(tokens.size()); ++i) {
            const auto edit = edits.find(i);
            if (edit != edits.end()) {
                out += edit->second.second;
                i = edit->second.first;
                continue;
            }
            out += sql::text(text, tokens[size_t(i)]);
        }
        return out;
    }
};

}  // namespace

QString toSqlite(const QString& accessSql) {
    Rewriter r{accessSql, sql::tokenize(accessSql), {}, {}};
    r.sig = sql::significant(r.tokens);
    for (size_t s = 0; s < r.sig.size(); ++s) {
        if (r.word(s, u"delete")) {
            r.deleteStar(s);
        } else if (r.word(s, u"update")) {
            r.updateSet(s);
        }
    }
    for (size_t s = 0; s < r.sig.size(); ++s) {
        if (r.edits.count(r.sig[s]) == 0) {
            r.literal(s);
        }
    }
    return r.result();
}

}  // namespace examdb
