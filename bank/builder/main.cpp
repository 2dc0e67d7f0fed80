// kvn_bank: builds the exam databases from the bank sources and checks databases.
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTextStream>

#include "bank_builder.h"
#include "bank_check.h"
#include "source_fields.h"

namespace {

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

}  // namespace

int main(int argc, char** argv) {
    // Exhibits are drawn with fonts, which needs a GUI application but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvn_bank"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Builds and checks Praxilo exam databases."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("build | check FILE..."));
    parser.addOption({QStringLiteral("edition"), QStringLiteral("full, demo or both (build)"),
                      QStringLiteral("edition"), QStringLiteral("both")});
    parser.addOption({QStringLiteral("source"),
                      QStringLiteral("bank folder holding source/ and exhibits/"),
                      QStringLiteral("dir"), QStringLiteral(PRAXILO_BANK_DIR)});
    parser.addOption({QStringLiteral("schema"), QStringLiteral("schema file"),
                      QStringLiteral("file"), QStringLiteral(PRAXILO_BANK_DIR "/schema.sql")});
    parser.addOption({QStringLiteral("out"), QStringLiteral("output folder"), QStringLiteral("dir"),
                      QStringLiteral(".")});
    parser.process(application);

    const QStringList args = parser.positionalArguments();
    try {
        if (args.value(0) == QLatin1String("build") && args.size() == 1) {
            return build(parser);
        }
        if (args.value(0) == QLatin1String("check") && args.size() >= 2) {
            return check(args.mid(1));
        }
    } catch (const bank::SourceError& e) {
        QTextStream(stderr) << "kvn_bank: " << e.message() << '\n';
        return 1;
    }
    QTextStream(stderr) << parser.helpText();
    return 2;
}
