#include "examdb/query_shape.h"

#include "examdb/sql_lexer.h"

namespace examdb {
namespace {

using sql::Token;

bool isAggregate(QStringView word) {
    static const char16_t* const names[] = {u"count", u"sum",   u"avg",         u"min",
                                            u"max",   u"total", u"group_concat"};
    for (const char16_t* name : names) {
        if (word.compare(QStringView(name), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// Words that can follow a table in FROM and so are never its alias.
bool endsTableName(QStringView word) {
    static const char16_t* const words[] = {
        u"on",    u"using",     u"inner",  u"left",   u"right",  u"full",    u"outer",
        u"cross", u"natural",   u"join",   u"where",  u"group",  u"order",   u"limit",
        u"union", u"intersect", u"except", u"window", u"having", u"indexed", u"not"};
    for (const char16_t* w : words) {
        if (word.compare(QStringView(w), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

bool endsFromClause(QStringView word) {
    static const char16_t* const words[] = {u"where", u"group",  u"having", u"order",    u"limit",
                                            u"union", u"except", u"window", u"intersect"};
    for (const char16_t* w : words) {
        if (word.compare(QStringView(w), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

QueryShape analyseSelect(const QString& sqliteSql) {
    QueryShape shape;
    const QStringView text(sqliteSql);
    const std::vector<Token> tokens = sql::tokenize(text);
    const std::vector<int> sig = sql::significant(tokens);
    auto tok = [&](size_t s) -> const Token& { return tokens[size_t(sig[s])]; };
    auto word = [&](size_t s, QStringView kw) {
        return s < sig.size() && sql::isWord(text, tok(s), kw);
    };
    auto punct = [&](size_t s, QStringView p) {
        return s < sig.size() && sql::isPunct(text, tok(s), p);
    };

    if (!word(0, u"select") || word(1, u"distinct")) {
        return shape;
    }
    // Result columns up to the top-level FROM.
    size_t s = 1;
    int depth = 0;
    for (; s < sig.size(); ++s) {
        if (depth == 0 && word(s, u"from")) {
            break;
        }
        if (tok(s).kind == sql::TokenKind::Word && punct(s + 1, u"(") &&
            isAggregate(sql::text(text, tok(s)))) {
            return shape;
        }
        depth += punct(s, u"(") ? 1 : punct(s, u")") ? -1 : 0;
    }
    if (s >= sig.size()) {
        return shape;
    }
    shape.fromOffset = tok(s).begin;

    // FROM a [AS x] [[INNER|LEFT|CROSS] JOIN b [AS y] ON ...] [, c] ... up to the next clause.
    bool expectTable = true;
    int tableDepth = 0;
    depth = 0;
    for (++s; s < sig.size(); ++s) {
        if (punct(s, u";")) {
            break;
        }
        if (depth <= 0 && tok(s).kind == sql::TokenKind::Word &&
            endsFromClause(sql::text(text, tok(s)))) {
            if (word(s, u"group") || word(s, u"having") || word(s, u"union") ||
                word(s, u"except") || word(s, u"intersect") || word(s, u"window")) {
                return shape;
            }
            break;
        }
        if (punct(s, u"(")) {
            if (word(s + 1, u"select") || word(s + 1, u"values")) {
                return shape;
            }
            ++depth;
            continue;
        }
        if (punct(s, u")")) {
            --depth;
            continue;
        }
        if (expectTable) {
            if (!sql::isName(tok(s))) {
                return shape;
            }
            QueryShape::Source source;
            source.table = sql::unquoted(text, tok(s));
            source.ref = sql::text(text, tok(s)).toString();
            if (punct(s + 1, u".")) {  // schema-qualified: main.t
                if (s + 2 >= sig.size() || !sql::isName(tok(s + 2))) {
                    return shape;
                }
                source.table = sql::unquoted(text, tok(s + 2));
                source.ref = text.mid(tok(s).begin, tok(s + 2).end - tok(s).begin).toString();
                s += 2;
            }
            size_t aliasAt = 0;
            if (word(s + 1, u"as")) {
                aliasAt = s + 2;
            } else if (s + 1 < sig.size() && sql::isName(tok(s + 1)) &&
                       !(tok(s + 1).kind == sql::TokenKind::Word &&
                         endsTableName(sql::text(text, tok(s + 1))))) {
                aliasAt = s + 1;
            }
            if (aliasAt != 0) {
                if (aliasAt >= sig.size() || !sql::isName(tok(aliasAt))) {
                    return shape;
                }
                source.alias = sql::unquoted(text, tok(aliasAt));
                source.ref = sql::text(text, tok(aliasAt)).toString();
                s = aliasAt;
            }
            shape.sources.push_back(source);
            expectTable = false;
            tableDepth = depth;
            continue;
        }
        if (word(s, u"join") || (depth == tableDepth && punct(s, u","))) {
            expectTable = true;
        }
    }
    shape.rowsMapToTables = !expectTable && !shape.sources.empty();
    return shape;
}

QString hiddenRowidName(int slot) {
    return QStringLiteral("examdb_rowid_") + QString::number(slot);
}

QString withRowids(const QString& sqliteSql, const QueryShape& shape) {
    // Named, so that an enclosing statement can pick rows of this one by their rowids.
    QString columns;
    for (size_t i = 0; i < shape.sources.size(); ++i) {
        columns += QStringLiteral(", ") + shape.sources[i].ref + QStringLiteral(".rowid AS ") +
                   hiddenRowidName(int(i));
    }
    columns += QLatin1Char(' ');
    QString out = sqliteSql;
    out.insert(shape.fromOffset, columns);
    return out;
}

}  // namespace examdb
