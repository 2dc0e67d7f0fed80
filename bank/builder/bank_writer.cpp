#include "bank_writer.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>

#include "bank_model.h"
#include "source_fields.h"

namespace bank {

namespace {

constexpr int kWrapWidth = 96;
constexpr int kFullQuestionsPerExam = 116;
constexpr int kDemoQuestionsPerExam = 30;
constexpr int kFullCategorySlots = 19;
constexpr int kDemoCategorySlots = 18;

// A continuation line the parser would read as prose and give back unchanged.
bool proseSafe(const QString& line) {
    return !line.isEmpty() && line == line.trimmed() && !line.startsWith(QLatin1Char('|')) &&
           line != QLatin1String(".");
}

// Writes `line` after `lead`, wrapped at single blanks into prose continuation lines. The parser
// joins those with one blank, so a break never goes where that would change the text.
void writeProse(QString& out, const QString& lead, const QString& line) {
    const bool wrappable = !std::any_of(line.begin(), line.end(), [](QChar c) {
        return c.isSpace() && c != u' ';
    }) && !line.contains(QLatin1String("  "));
    if (!wrappable || lead.size() + line.size() <= kWrapWidth) {
        out += lead + line + QLatin1Char('\n');
        return;
    }
    QString current = lead;
    bool startOfLine = true;
    for (const QString& word : line.split(QLatin1Char(' '))) {
        const bool breakable =
            !startOfLine && !word.startsWith(QLatin1Char('|')) && word != QLatin1String(".");
        if (breakable && current.size() + 1 + word.size() > kWrapWidth) {
            out += current + QLatin1Char('\n');
            current = QStringLiteral("  ") + word;
            continue;
        }
        current += (startOfLine ? QString() : QStringLiteral(" ")) + word;
        startOfLine = false;
    }
    out += current + QLatin1Char('\n');
}

QString cleanCategory(const QString& name) {
    QString clean = name.simplified();
    while (clean.startsWith(QLatin1Char('#'))) {
        clean = clean.mid(1).trimmed();
    }
    return clean.isEmpty() ? QLatin1String(kDefaultCategory) : clean;
}

void writeFile(const QString& path, const QString& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text.toUtf8()) < 0 ||
        !f.flush()) {
        throw SourceError(path, 0, QStringLiteral("cannot be written: ") + f.errorString());
    }
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        throw SourceError(path, 0, QStringLiteral("cannot be written: ") + f.errorString());
    }
}

QString questionText(const ImportedQuestion& q, int id) {
    QString out = QStringLiteral("\n");
    if (!q.title.simplified().isEmpty()) {
        out += QStringLiteral("# ") + q.title.simplified() + QLatin1Char('\n');
    }
    out += QStringLiteral("== %1\n").arg(id);
    out += sourceField(QStringLiteral("category"), cleanCategory(q.category));
    if (!q.exhibit.isEmpty()) {
        out += sourceField(QStringLiteral("exhibit"), q.exhibit);
    }
    out += sourceField(QStringLiteral("question"), q.question);
    QStringList keys;
    for (int i = 0; i < q.answers.size(); ++i) {
        const QString letter(QChar(u'A' + i));
        out += sourceField(letter, q.answers[i]);
        if (q.correct[i]) {
            keys << letter;
        }
    }
    out += sourceField(QStringLiteral("answer"), keys.join(QLatin1String(", ")));
    out +=
        sourceField(QStringLiteral("explanation"),
                    q.explanation.isEmpty() ? QLatin1String(kDefaultExplanation) : q.explanation);
    return out;
}

// Written a question at a time: an exam of an imported file is as large as the file.
void writeExam(const QString& path, const QString& note, const ImportedFile& file) {
    QFile f(path);
    const auto write = [&](const QString& text) {
        const QByteArray bytes = text.toUtf8();
        if (f.write(bytes) != bytes.size()) {
            throw SourceError(path, 0, QStringLiteral("cannot be written: ") + f.errorString());
        }
    };
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        throw SourceError(path, 0, QStringLiteral("cannot be written: ") + f.errorString());
    }
    write(note + QStringLiteral("# Imported from %1 by kvn_bank import.\n")
                     .arg(QFileInfo(file.file).fileName()));
    int id = 0;
    for (const ImportedQuestion& q : file.questions) {
        write(questionText(q, ++id));
    }
    if (!f.flush()) {
        throw SourceError(path, 0, QStringLiteral("cannot be written: ") + f.errorString());
    }
}

QString infoText(bool demo, const QList<ImportedFile>& files) {
    QStringList names;
    for (const ImportedFile& f : files) {
        names << QFileInfo(f.file).fileName();
    }
    const QString file = demo ? QStringLiteral("info-demo.kvq") : QStringLiteral("info-full.kvq");
    QString out =
        QStringLiteral("# Placeholder intro texts written by kvn_bank import: edit them.\n");
    out += sourceField(QStringLiteral("test_name"), QStringLiteral("Practice exam from ") +
                                                        QFileInfo(files.first().file).baseName());
    out += sourceField(QStringLiteral("number_of_questions"),
                       QStringLiteral("%1 questions per exam")
                           .arg(demo ? kDemoQuestionsPerExam : kFullQuestionsPerExam));
    out += sourceField(QStringLiteral("test_disclaimer"),
                       QStringLiteral("Edit this text in source/%1.").arg(file));
    out += sourceField(
        QStringLiteral("test_description"),
        QStringLiteral("Questions imported from %1.").arg(names.join(QLatin1String(", "))));
    out += sourceField(QStringLiteral("copyright_date"),
                       QStringLiteral("Copyright %1").arg(QDate::currentDate().year()));
    out += sourceField(QStringLiteral("author_name"),
                       QStringLiteral("Edit the author's name in source/%1.").arg(file));
    return out;
}

// Gives every picture a file name of its own: equal pictures share one, different pictures
// that came with the same name get a number.
void nameExhibits(QList<ImportedFile>& files, QMap<QString, QByteArray>& pictures) {
    for (ImportedFile& file : files) {
        for (ImportedQuestion& q : file.questions) {
            if (q.picture.png.isEmpty()) {
                continue;
            }
            const QString stem = q.picture.name.chopped(4);
            QString name = q.picture.name;
            for (int n = 2; pictures.contains(name) && pictures.value(name) != q.picture.png; ++n) {
                name = QStringLiteral("%1-%2.png").arg(stem).arg(n);
            }
            pictures.insert(name, q.picture.png);
            q.exhibit = name;
        }
    }
}

bool isEmptyFolder(const QString& path) {
    return QDir(path)
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)
        .isEmpty();
}

QStringList summary(const QList<ImportedFile>& files, const QStringList& categories,
                    const QString& outDir) {
    QStringList lines;
    QMap<QString, int> skippedKinds;
    int skipped = 0;
    int imported = 0;
    int noExplanation = 0;
    int noCategory = 0;
    for (const ImportedFile& file : files) {
        lines << skippedLines(file);
        for (const SkippedQuestion& s : file.skipped) {
            ++skippedKinds[s.kind];
        }
        skipped += int(file.skipped.size());
        imported += int(file.questions.size());
        for (const ImportedQuestion& q : file.questions) {
            noExplanation += q.explanation.isEmpty() ? 1 : 0;
            noCategory += q.category.isEmpty() ? 1 : 0;
        }
    }
    for (int i = 0; i < files.size(); ++i) {
        const ImportedFile& file = files[i];
        lines << QStringLiteral("%1: %2 question(s) imported into source/exam%3.kvq, %4 skipped")
                     .arg(file.file)
                     .arg(file.questions.size())
                     .arg(i + 1)
                     .arg(file.skipped.size());
        for (auto it = file.leftOut.constBegin(); it != file.leftOut.constEnd(); ++it) {
            lines << QStringLiteral("%1: left out or changed: %2, in %3 question(s)")
                         .arg(file.file, it.key())
                         .arg(it.value());
        }
    }
    QString total =
        QStringLiteral("imported %1 question(s), skipped %2").arg(imported).arg(skipped);
    if (skipped > 0) {
        QStringList why;
        for (auto it = skippedKinds.constBegin(); it != skippedKinds.constEnd(); ++it) {
            why << QStringLiteral("%1: %2").arg(it.key()).arg(it.value());
        }
        total += QStringLiteral(" (") + why.join(QLatin1String("; ")) + QLatin1Char(')');
    }
    lines << total;

    QStringList defaults;
    if (noExplanation > 0) {
        defaults << QStringLiteral("%1 question(s) had no explanation and say \"%2\"")
                        .arg(noExplanation)
                        .arg(QLatin1String(kDefaultExplanation));
    }
    if (noCategory > 0) {
        defaults << QStringLiteral("%1 question(s) had no category and are in \"%2\"")
                        .arg(noCategory)
                        .arg(QLatin1String(kDefaultCategory));
    }
    defaults << QStringLiteral("question numbers follow the order of the imported file");
    QStringList copies;
    for (int i = int(files.size()) + 1; i <= 3; ++i) {
        copies << QStringLiteral("source/exam%1.kvq").arg(i);
    }
    copies << QStringLiteral("source/demo.kvq");
    defaults << QStringLiteral(
                    "%1 repeat source/exam1.kvq so that both editions build; "
                    "replace with questions of their own")
                    .arg(copies.join(QLatin1String(", ")));
    defaults << QStringLiteral(
        "source/info-full.kvq and source/info-demo.kvq hold placeholder "
        "intro texts");
    for (const QString& d : defaults) {
        lines << QStringLiteral("default to edit: ") + d;
    }

    QStringList warnings;
    for (int i = 0; i < files.size(); ++i) {
        if (files[i].questions.size() < kFullQuestionsPerExam) {
            warnings << QStringLiteral(
                            "source/exam%1.kvq holds %2 question(s); an exam draws %3 "
                            "(the demo %4), so add questions before taking it")
                            .arg(i + 1)
                            .arg(files[i].questions.size())
                            .arg(kFullQuestionsPerExam)
                            .arg(kDemoQuestionsPerExam);
        }
        QSet<QString> carried;
        for (const ImportedQuestion& q : files[i].questions) {
            carried.insert(cleanCategory(q.category));
        }
        for (const QString& c : categories) {
            if (!carried.contains(c)) {
                warnings << QStringLiteral(
                                "source/exam%1.kvq has no question in category '%2'; "
                                "the score sheet needs every category in every exam")
                                .arg(i + 1)
                                .arg(c);
            }
        }
    }
    if (categories.size() > kDemoCategorySlots) {
        warnings << QStringLiteral("%1 categories; the score sheet has room for %2 (the demo %3)")
                        .arg(categories.size())
                        .arg(kFullCategorySlots)
                        .arg(kDemoCategorySlots);
    }
    for (const QString& w : warnings) {
        lines << QStringLiteral("warning: ") + w;
    }
    lines << QStringLiteral("wrote %1; build it with: kvn_bank build --source %1 --out %1/run")
                 .arg(outDir);
    return lines;
}

}  // namespace

QStringList skippedLines(const ImportedFile& file) {
    QStringList lines;
    for (const SkippedQuestion& s : file.skipped) {
        lines << QStringLiteral("%1:%2: skipped '%3': %4")
                     .arg(file.file)
                     .arg(s.line)
                     .arg(s.label, s.reason);
    }
    return lines;
}

QString sourceField(const QString& name, const QString& value) {
    const QStringList lines = value.split(QLatin1Char('\n'));
    QString out;
    writeProse(out, name + QStringLiteral(": "), lines.first());
    // After a "|" or "." line a prose line starts a line of its own; after prose it would not.
    bool lineStart = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.isEmpty()) {
            out += QStringLiteral("  .\n");
            lineStart = true;
        } else if (lineStart && proseSafe(line)) {
            writeProse(out, QStringLiteral("  "), line);
            lineStart = false;
        } else {
            out += QStringLiteral("  | ") + line + QLatin1Char('\n');
            lineStart = true;
        }
    }
    return out;
}

QStringList writeImportedBank(QList<ImportedFile> files, const QString& outDir) {
    if (files.isEmpty() || files.size() > 3) {
        throw SourceError(outDir, 0,
                          QStringLiteral("a bank holds three exams: import one to three files"));
    }
    for (const ImportedFile& file : files) {
        if (file.questions.isEmpty()) {
            throw SourceError(file.file, 0,
                              QStringLiteral("holds no question the program can present (%1 "
                                             "skipped)")
                                  .arg(file.skipped.size()));
        }
    }
    const QFileInfo target(outDir);
    if (target.exists() && !(target.isDir() && isEmptyFolder(outDir))) {
        throw SourceError(outDir, 0,
                          QStringLiteral("already exists and is not empty; import writes a new "
                                         "bank folder"));
    }
    if (!QDir().mkpath(target.absolutePath())) {
        throw SourceError(outDir, 0, QStringLiteral("its parent folder cannot be created"));
    }

    QMap<QString, QByteArray> pictures;
    nameExhibits(files, pictures);
    QStringList categories;
    for (const ImportedFile& file : files) {
        for (const ImportedQuestion& q : file.questions) {
            const QString c = cleanCategory(q.category);
            if (!categories.contains(c)) {
                categories << c;
            }
        }
    }

    QTemporaryDir temp(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                       QStringLiteral("-importing-XXXXXX"));
    if (!temp.isValid()) {
        throw SourceError(outDir, 0,
                          QStringLiteral("cannot create a working folder: ") + temp.errorString());
    }
    const QDir dir(temp.path());
    dir.mkpath(QStringLiteral("source"));
    dir.mkpath(QStringLiteral("exhibits"));
    writeFile(
        dir.filePath(QStringLiteral("source/categories.txt")),
        QStringLiteral("# Categories of the imported questions, in category-number order.\n") +
            categories.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    for (int i = 0; i < 3; ++i) {
        writeExam(dir.filePath(QStringLiteral("source/exam%1.kvq").arg(i + 1)),
                  i < files.size() ? QString()
                                   : QStringLiteral("# A copy of exam1.kvq so that the full "
                                                    "edition builds: replace it.\n"),
                  i < files.size() ? files[i] : files.first());
    }
    writeExam(dir.filePath(QStringLiteral("source/demo.kvq")),
              QStringLiteral("# A copy of exam1.kvq so that the demo edition builds.\n"),
              files.first());
    writeFile(dir.filePath(QStringLiteral("source/info-full.kvq")), infoText(false, files));
    writeFile(dir.filePath(QStringLiteral("source/info-demo.kvq")), infoText(true, files));
    for (auto it = pictures.constBegin(); it != pictures.constEnd(); ++it) {
        writeBytes(dir.filePath(QStringLiteral("exhibits/") + it.key()), it.value());
    }

    // The builder must read back what was written; a failure here is ours, not the author's.
    const QStringList written =
        parseCategories(dir.filePath(QStringLiteral("source/categories.txt")));
    // The copies of exam 1 hold the same questions, read back once.
    for (int i = 0; i < files.size(); ++i) {
        parseExam(dir.filePath(QStringLiteral("source/exam%1.kvq").arg(i + 1)), written);
    }
    parseTestInformation(dir.filePath(QStringLiteral("source/info-full.kvq")));
    parseTestInformation(dir.filePath(QStringLiteral("source/info-demo.kvq")));

    if (target.exists()) {
        QDir().rmdir(outDir);
    }
    if (!QDir().rename(temp.path(), outDir)) {
        throw SourceError(outDir, 0, QStringLiteral("cannot be created"));
    }
    temp.setAutoRemove(false);
    QFile::setPermissions(outDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                      QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                      QFileDevice::ExeOther);
    return summary(files, categories, outDir);
}

}  // namespace bank
