// kvn_bank: builds the exam databases from the bank sources and checks databases; imports
// banks from learning-platform formats and exports them again.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>
#include <new>
#include <optional>

#include "bank_builder.h"
#include "bank_check.h"
#include "bank_report.h"
#include "bank_writer.h"
#include "export_moodle.h"
#include "history_responses.h"
#include "import_aiken.h"
#include "import_gift.h"
#include "import_moodle.h"
#include "items_report.h"
#include "lrs_responses.h"
#include "source_fields.h"

namespace {

void printWarnings(const bank::BankReport& report) {
    QTextStream out(stdout);
    for (const QString& line : report.warnings()) {
        out << "warning: " << line << '\n';
    }
}

int build(const QCommandLineParser& parser) {
    const QString edition = parser.value(QStringLiteral("edition"));
    if (edition != QLatin1String("full") && edition != QLatin1String("demo") &&
        edition != QLatin1String("both")) {
        QTextStream(stderr) << "kvn_bank: --edition must be full, demo or both\n";
        return 2;
    }
    QTextStream out(stdout);
    for (const bool demo : {false, true}) {
        if ((demo && edition == QLatin1String("full")) ||
            (!demo && edition == QLatin1String("demo"))) {
            continue;
        }
        bank::BuildRequest request;
        request.sourceDir = parser.value(QStringLiteral("source"));
        request.schemaFile = parser.value(QStringLiteral("schema"));
        request.outDir = parser.value(QStringLiteral("out"));
        request.demo = demo;
        const QString built = bank::buildDatabase(request);
        out << "built " << built << "\n";
        out.flush();
        try {
            printWarnings(bank::reportOn(bank::readBankExams(built)));
        } catch (const bank::SourceError& e) {
            // The figures are advice: a bank too large to measure is still built.
            out << "warning: no report on " << built << ": " << e.reason << '\n';
        }
    }
    return 0;
}

int check(const QStringList& files) {
    QTextStream out(stdout);
    int failed = 0;
    for (const QString& file : files) {
        const QStringList problems = bank::checkDatabase(file);
        for (const QString& problem : problems) {
            out << file << ": " << problem << '\n';
        }
        if (problems.isEmpty()) {
            out << file << ": ok\n";
        } else {
            out << file << ": " << problems.size() << " problem(s)\n";
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}

// The answers named on the command line: each history file, then each record store.
std::vector<bank::ResponseSource> responseSources(const QCommandLineParser& parser,
                                                  const QString& database,
                                                  const QStringList& histories) {
    const QString edition = bank::bankEdition(database);
    std::vector<bank::ResponseSource> sources;
    for (const QString& path : histories) {
        sources.push_back(bank::historySource(path, edition));
    }
    const QStringList stores = parser.values(QStringLiteral("lrs"));
    if (!stores.isEmpty()) {
        const QString bankName = bank::readBankName(database);
        // Out of the command line, where other users' process lists would show it.
        const QString password = parser.isSet(QStringLiteral("password"))
                                     ? parser.value(QStringLiteral("password"))
                                     : qEnvironmentVariable("KVN_LRS_PASSWORD");
        for (const QString& endpoint : stores) {
            sources.push_back(bank::lrsSource(
                {endpoint, parser.value(QStringLiteral("user")), password, QString()}, bankName,
                3));
        }
    }
    return sources;
}

// --min, or why it cannot be used.
std::optional<bank::ItemsOptions> itemsOptions(const QCommandLineParser& parser) {
    bank::ItemsOptions options;
    if (parser.isSet(QStringLiteral("min"))) {
        bool ok = false;
        options.minAttempts = parser.value(QStringLiteral("min")).toInt(&ok);
        if (!ok || options.minAttempts < 1) {
            QTextStream(stderr) << "kvn_bank: --min takes a whole number of attempts, 1 or more\n";
            return std::nullopt;
        }
    }
    return options;
}

void printNotes(QTextStream& out, const QStringList& notes) {
    for (const QString& line : notes) {
        out << "note: " << line << '\n';
    }
}

// Advice only: exits 0 whatever the figures say, 2 when the file or a source cannot be read.
int report(const QCommandLineParser& parser, const QString& database,
           const QStringList& histories) {
    const bool withResponses = parser.isSet(QStringLiteral("responses"));
    const std::optional<bank::ItemsOptions> options = itemsOptions(parser);
    if (!options) {
        return 2;
    }
    QList<bank::FairExam> exams;
    bank::ItemsReport items;
    try {
        exams = bank::readBankExams(database);
        if (withResponses) {
            items = bank::itemsReport(database, exams, responseSources(parser, database, histories),
                                      *options);
        }
    } catch (const bank::SourceError& e) {
        QTextStream(stderr) << "kvn_bank: " << e.file << ": " << e.reason << '\n';
        return 2;
    }
    QTextStream out(stdout);
    out << database << '\n';
    for (const QString& line : bank::reportOn(exams).lines()) {
        out << line << '\n';
    }
    if (withResponses) {
        out << "How the questions behave (kvn_bank items for every figure):\n";
        for (const QString& line : items.summary) {
            out << "  " << line << '\n';
        }
        printNotes(out, items.skipped);
    }
    return 0;
}

// Advice only, like report: exits 0 whatever it finds, 2 with one line when the bank or a
// source cannot be read.
int items(const QCommandLineParser& parser, const QString& database, const QStringList& histories) {
    const std::optional<bank::ItemsOptions> options = itemsOptions(parser);
    if (!options) {
        return 2;
    }
    bank::ItemsReport found;
    try {
        found = bank::itemsReport(database, bank::readBankExams(database),
                                  responseSources(parser, database, histories), *options);
    } catch (const bank::SourceError& e) {
        QTextStream(stderr) << "kvn_bank: " << e.file << ": " << e.reason << '\n';
        return 2;
    }
    QTextStream out(stdout);
    for (const QString& line : found.lines) {
        out << line << '\n';
    }
    printNotes(out, found.skipped);
    if (parser.isSet(QStringLiteral("csv"))) {
        QSaveFile csv(parser.value(QStringLiteral("csv")));
        if (!csv.open(QIODevice::WriteOnly) ||
            csv.write((found.csv.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8()) <
                0 ||
            !csv.commit()) {
            QTextStream(stderr) << "kvn_bank: " << csv.fileName()
                                << ": cannot be written: " << csv.errorString() << '\n';
            return 2;
        }
    }
    return 0;
}

int importBank(const QCommandLineParser& parser, const QString& format, const QStringList& files) {
    const auto read = [&]() -> bank::ImportedFile (*)(const QString&) {
        if (format == QLatin1String("moodle-xml")) {
            return bank::importMoodleXml;
        }
        if (format == QLatin1String("gift")) {
            return bank::importGift;
        }
        if (format == QLatin1String("aiken")) {
            return bank::importAiken;
        }
        return nullptr;
    }();
    if (!read) {
        QTextStream(stderr) << "kvn_bank: import FORMAT must be moodle-xml, gift or aiken\n";
        return 2;
    }
    if (!parser.isSet(QStringLiteral("out"))) {
        QTextStream(stderr) << "kvn_bank: import needs --out DIR, a new folder for the sources\n";
        return 2;
    }
    if (files.size() > 3) {
        QTextStream(stderr) << "kvn_bank: a bank holds three exams: import one to three files\n";
        return 2;
    }
    QList<bank::ImportedFile> imported;
    for (const QString& file : files) {
        imported << read(file);
        // The writer refuses a file it can take nothing from; the author needs every reason.
        if (imported.last().questions.isEmpty()) {
            QTextStream err(stderr);
            for (const QString& line : bank::skippedLines(imported.last())) {
                err << line << '\n';
            }
        }
    }
    QTextStream out(stdout);
    for (const QString& line :
         bank::writeImportedBank(imported, parser.value(QStringLiteral("out")))) {
        out << line << '\n';
    }
    out.flush();
    printWarnings(bank::reportOn(bank::importedExams(imported)));
    return 0;
}

int exportBank(const QCommandLineParser& parser, const QString& format, const QString& database) {
    if (format != QLatin1String("moodle-xml")) {
        QTextStream(stderr) << "kvn_bank: export FORMAT must be moodle-xml\n";
        return 2;
    }
    int exam = 0;
    if (parser.isSet(QStringLiteral("exam"))) {
        bool ok = false;
        exam = parser.value(QStringLiteral("exam")).toInt(&ok);
        if (!ok || exam < 1 || exam > 3) {
            QTextStream(stderr) << "kvn_bank: --exam must be 1, 2 or 3\n";
            return 2;
        }
    }
    const QByteArray xml = bank::exportMoodleXml(database, exam);
    if (!parser.isSet(QStringLiteral("out"))) {
        QFile stdOut;
        if (!stdOut.open(stdout, QIODevice::WriteOnly) || stdOut.write(xml) != xml.size()) {
            return 1;
        }
        return 0;
    }
    const QString target = parser.value(QStringLiteral("out"));
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size() || !file.commit()) {
        throw bank::SourceError(target, 0,
                                QStringLiteral("cannot be written: ") + file.errorString());
    }
    QTextStream(stdout) << "wrote " << target << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Exhibits are drawn with fonts, which needs a GUI application but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Widgets draw the dialog exhibits; nothing is ever shown.
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvn_bank"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Builds and checks Praxilo exam databases.\n"
        "\n"
        "Limits: an imported file, categories.txt, an intro file and an exhibit\n"
        "description may hold 64 MB; an exam source (.kvq) and a database that report\n"
        "or export reads, 256 MB. A larger file, a folder or an endless device is\n"
        "refused with one line. report counts every pair of alike stems but lists the\n"
        "first 50, and stops counting after 20000000 comparisons. Running out of\n"
        "memory ends the tool with one line and exit "
        "status 2."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("build | check FILE... | report DATABASE "
                                                "[--responses HISTORY...] | "
                                                "items DATABASE [HISTORY...] [--lrs URL] | "
                                                "import FORMAT FILE... | "
                                                "export moodle-xml DATABASE"));
    parser.addOption({QStringLiteral("edition"), QStringLiteral("full, demo or both (build)"),
                      QStringLiteral("edition"), QStringLiteral("both")});
    parser.addOption({QStringLiteral("source"),
                      QStringLiteral("bank folder holding source/ and exhibits/"),
                      QStringLiteral("dir"), QStringLiteral(PRAXILO_BANK_DIR)});
    parser.addOption({QStringLiteral("schema"), QStringLiteral("schema file"),
                      QStringLiteral("file"), QStringLiteral(PRAXILO_BANK_DIR "/schema.sql")});
    parser.addOption({QStringLiteral("out"),
                      QStringLiteral("output folder (build, import) or file (export; default "
                                     "standard output)"),
                      QStringLiteral("dir"), QStringLiteral(".")});
    parser.addOption({QStringLiteral("exam"),
                      QStringLiteral("the exam to export, 1 to 3 (default every exam)"),
                      QStringLiteral("number")});
    parser.addOption({QStringLiteral("min"),
                      QStringLiteral("attempts a question needs for its figures (items; default "
                                     "30)"),
                      QStringLiteral("n")});
    parser.addOption({QStringLiteral("csv"),
                      QStringLiteral("file for the per-question table (items)"),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("lrs"),
                      QStringLiteral("a record store's endpoint to read answers from (items, "
                                     "report --responses; may be given again)"),
                      QStringLiteral("url")});
    parser.addOption({QStringLiteral("user"), QStringLiteral("user name at the record store"),
                      QStringLiteral("name")});
    parser.addOption({QStringLiteral("password"),
                      QStringLiteral("password at the record store (default: the "
                                     "KVN_LRS_PASSWORD environment variable)"),
                      QStringLiteral("password")});
    parser.addOption({QStringLiteral("responses"),
                      QStringLiteral("report: add how the questions behave, from the histories "
                                     "named after the database and any --lrs")});
    parser.process(application);
    const bool storesNamed = parser.isSet(QStringLiteral("lrs"));

    const QStringList args = parser.positionalArguments();
    try {
        if (args.value(0) == QLatin1String("build") && args.size() == 1) {
            return build(parser);
        }
        if (args.value(0) == QLatin1String("check") && args.size() >= 2) {
            return check(args.mid(1));
        }
        const bool withResponses = parser.isSet(QStringLiteral("responses"));
        if (args.value(0) == QLatin1String("report") &&
            (withResponses ? args.size() >= 3 || (args.size() == 2 && storesNamed)
                           : args.size() == 2 && !storesNamed)) {
            return report(parser, args[1], args.mid(2));
        }
        if (args.value(0) == QLatin1String("items") &&
            (args.size() >= 3 || (args.size() == 2 && storesNamed))) {
            return items(parser, args[1], args.mid(2));
        }
        if (args.value(0) == QLatin1String("import") && args.size() >= 3) {
            return importBank(parser, args[1], args.mid(2));
        }
        if (args.value(0) == QLatin1String("export") && args.size() == 3) {
            return exportBank(parser, args[1], args[2]);
        }
    } catch (const bank::SourceError& e) {
        QTextStream(stderr) << "kvn_bank: " << e.message() << '\n';
        return 1;
    } catch (const std::bad_alloc&) {
        // Whatever was being written is in a temporary file or folder, removed on the way out.
        std::fputs("kvn_bank: out of memory\n", stderr);
        return 2;
    }
    QTextStream(stderr) << parser.helpText();
    return 2;
}
