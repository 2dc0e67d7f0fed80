// Any bank source file: the parsers either refuse it with a SourceError naming a line of the
// file, or give questions that the database writer can take as they are.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "bank_model.h"
#include "source_fields.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

void checkExam(const bank::Exam& exam, const QStringList& categories) {
    int last = 0;
    for (const bank::Question& q : exam.questions) {
        if (q.id <= last) {
            fail("question IDs are not ascending and distinct");
        }
        last = q.id;
        if (q.answers.size() < 3 || q.answers.size() > 5 || q.correct.size() != q.answers.size())
            fail("a question has a wrong number of choices or keys");
        if (q.correctCount() < 1) {
            fail("a question has no correct answer");
        }
        if (q.category < 0 || q.category >= categories.size()) {
            fail("a question has a category outside the list");
        }
    }
}

template <class Parse>
void refusedOrParsed(const QString& path, int lines, Parse parse) {
    try {
        parse();
    } catch (const bank::SourceError& e) {
        if (e.file != path || e.line < 0 || e.line > lines) {
            fail("a refusal names no line of the file");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("exam.kvq"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write the input file");
    file.close();
    const int lines = int(bytes.count('\n')) + 1;

    const QStringList categories = {QStringLiteral("Networking"), QStringLiteral("Storage")};
    refusedOrParsed(path, lines, [&] { checkExam(bank::parseExam(path, categories), categories); });
    refusedOrParsed(path, lines, [&] { (void)bank::parseTestInformation(path); });
    refusedOrParsed(path, lines, [&] { (void)bank::parseCategories(path); });
    refusedOrParsed(path, lines, [&] {
        const QString text = QString::fromUtf8(bytes);
        (void)bank::parseFields(path, text, true);
    });
    return 0;
}
