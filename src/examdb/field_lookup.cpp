#include "examdb/field_lookup.h"

#include <QStringList>

namespace examdb {
namespace {

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString stripBrackets(QString part) {
    part = part.trimmed();
    if (part.size() >= 2 && part.startsWith(QLatin1Char('[')) && part.endsWith(QLatin1Char(']'))) {
        return part.mid(1, part.size() - 2);
    }
    return part;
}

// "a.b", "[a b].[c]" -> {"a", "b"}; a dot inside brackets belongs to the name.
std::optional<std::pair<QString, QString>> splitQualified(const QString& name) {
    int depth = 0;
    qsizetype dot = -1;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c == QLatin1Char('[')) {
            ++depth;
        } else if (c == QLatin1Char(']')) {
            --depth;
        } else if (c == QLatin1Char('.') && depth == 0) {
            dot = i;
        }
    }
    if (dot <= 0) {
        return std::nullopt;
    }
    return std::make_pair(stripBrackets(name.left(dot)), stripBrackets(name.mid(dot + 1)));
}

}  // namespace

FieldLookup::FieldLookup(std::vector<ColumnInfo> columns,
                         std::vector<std::pair<QString, QString>> aliases)
    : columns_(std::move(columns)), aliases_(std::move(aliases)) {}

std::optional<int> FieldLookup::find(const QString& name) const {
    const QString bare = stripBrackets(name);
    for (int i = 0; i < count(); ++i) {
        if (same(columns_[size_t(i)].name, bare)) {
            return i;
        }
    }
    const auto qualified = splitQualified(name);
    if (!qualified) {
        return std::nullopt;
    }
    const auto& [qualifier, columnName] = *qualified;
    QString table = qualifier;
    for (const auto& [alias, aliasedTable] : aliases_) {
        if (same(alias, qualifier)) {
            table = aliasedTable;
            break;
        }
    }
    for (int i = 0; i < count(); ++i) {
        const ColumnInfo& c = columns_[size_t(i)];
        if (same(c.table, table) && (same(c.origin, columnName) || same(c.name, columnName))) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace examdb
