#pragma once

#include <QString>
#include <QVariant>

namespace examdb {

// A FindFirst criterion of the one form the program uses: column = value, where value is a
// whole or decimal number or a '...'/"..." text. Parsed, never spliced into SQL.
struct Criteria {
    QString field;
    QVariant value;  // qlonglong, double or QString

    // Throws Error 3077 for anything else.
    static Criteria parse(const QString& text);

    // Numbers compare by value with numeric cells and with texts that read as numbers; texts
    // compare without regard to case. Null never matches.
    bool matches(const QVariant& cell) const;
};

}  // namespace examdb
