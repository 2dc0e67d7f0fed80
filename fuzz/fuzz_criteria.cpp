// Any criteria text: parse either refuses it with error 3077 or gives a criterion that finds
// a row holding the very value it names.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "examdb/criteria.h"
#include "examdb/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    examdb::Criteria c;
    try {
        c = examdb::Criteria::parse(text);
    } catch (const examdb::Error& e) {
        if (e.number != examdb::errc::CriteriaSyntax) {
            std::fprintf(stderr, "refused with error %d instead of 3077\n", e.number);
            std::abort();
        }
        return 0;
    }
    if (c.field.isEmpty() || !c.matches(c.value)) {
        std::fprintf(stderr, "'%s' does not find its own value\n", qPrintable(text));
        std::abort();
    }
    // Cells of every kind a record set holds; none may crash the comparison.
    for (const QVariant& cell :
         {QVariant(), QVariant(qlonglong(0)), QVariant(-1.5), QVariant(QStringLiteral("x")),
          QVariant(QString()), QVariant(true), QVariant(QByteArray("\x01\x02"))}) {
        (void)c.matches(cell);
    }
    return 0;
}
