// Turns one run's figures into bench/RESULTS.md: the benchmarks' JSON reports, the start-up
// probe's lines and the run's facts (machine, date, commit, load).
//   results_table OUT.md FACTS.txt STARTUP.txt REPORT.json...
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QStringList>
#include <QTextStream>
#include <array>
#include <cstdio>

namespace {

struct Figure {
    double median = 0;
    double min = 0;
    double max = 0;
    bool valid = false;
};

// "BM_Draw/bank:116/count:116/idstep:1/iterations:10/manual_time" -> "BM_Draw bank:116 ..."
QString keyOf(const QString& name) {
    QStringList kept;
    for (const QString& part : name.split(QLatin1Char('/'))) {
        if (!part.startsWith(u"iterations:") && part != u"manual_time") {
            kept << part;
        }
    }
    return kept.join(QLatin1Char(' '));
}

QMap<QString, Figure> readReports(const QStringList& files) {
    QMap<QString, Figure> figures;
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "results_table: cannot read %s\n", qPrintable(path));
            continue;
        }
        const QJsonArray runs = QJsonDocument::fromJson(file.readAll())["benchmarks"].toArray();
        for (const QJsonValue& v : runs) {
            const QJsonObject run = v.toObject();
            if (run.contains(u"error_occurred") && run["error_occurred"].toBool()) {
                continue;
            }
            Figure f;
            f.median = run["median_ms"].toDouble();
            f.min = run["min_ms"].toDouble();
            f.max = run["max_ms"].toDouble();
            f.valid = run.contains(u"median_ms");
            figures.insert(keyOf(run["name"].toString()), f);
        }
    }
    return figures;
}

// Ten times the rows at most ten times the time, with a fifth more for a shared machine's noise.
constexpr double kLinear = 12.0;

QString ms(double value) {
    return value >= 100 ? QString::number(value, 'f', 0)
           : value >= 1 ? QString::number(value, 'f', 2)
                        : QString::number(value, 'f', 3);
}

QString cells(const Figure& f) {
    return f.valid ? ms(f.median) + QStringLiteral(" | ") + ms(f.min) + QStringLiteral(" | ") +
                         ms(f.max)
                   : QStringLiteral("– | – | –");
}

QString ratio(double a, double b) {
    return b > 0 ? QString::number(a / b, 'f', 2) + QStringLiteral("×") : QStringLiteral("–");
}

QString verdict(bool met) {
    return met ? QStringLiteral("met") : QStringLiteral("**missed**");
}

void drawTable(QTextStream& out, const QMap<QString, Figure>& f) {
    out << "## The draw\n\n"
           "Times in ms (median | min | max). Floor: the same rows inserted into tblRandom in "
           "one transaction. Literal: the draw as written, one committed insert per row.\n\n"
           "| bank | drawn | ID step | ours median | min | max | floor median | min | max | "
           "ours ÷ floor | literal median | min | max | literal ÷ ours |\n"
           "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    const QList<std::array<int, 3>> sizes{{116, 116, 1},     {10000, 116, 1},     {100000, 116, 1},
                                          {10000, 10000, 1}, {100000, 100000, 1}, {116, 116, 2},
                                          {10000, 10000, 2}};
    for (const auto& s : sizes) {
        const QString args =
            QStringLiteral("bank:%1 count:%2 idstep:%3").arg(s[0]).arg(s[1]).arg(s[2]);
        const Figure ours = f.value(QStringLiteral("BM_Draw ") + args);
        const Figure floor = f.value(QStringLiteral("BM_StorageFloor ") + args);
        const Figure literal = f.value(QStringLiteral("BM_LiteralDraw ") + args);
        out << "| " << s[0] << " | " << s[1] << " | " << s[2] << " | " << cells(ours) << " | "
            << cells(floor) << " | " << ratio(ours.median, floor.median) << " | " << cells(literal)
            << " | " << (literal.valid ? ratio(literal.median, ours.median) : QStringLiteral("–"))
            << " |\n";
    }
    const auto median = [&](const QString& key) { return f.value(key).median; };
    const double speedUp =
        median(QStringLiteral("BM_LiteralDraw bank:10000 count:10000 idstep:1")) /
        median(QStringLiteral("BM_Draw bank:10000 count:10000 idstep:1"));
    const double growth = median(QStringLiteral("BM_Draw bank:100000 count:116 idstep:1")) /
                          median(QStringLiteral("BM_Draw bank:10000 count:116 idstep:1"));
    const double growthAll = median(QStringLiteral("BM_Draw bank:100000 count:100000 idstep:1")) /
                             median(QStringLiteral("BM_Draw bank:10000 count:10000 idstep:1"));
    double worstFloor = 0;
    for (const auto& s : sizes) {
        const QString args =
            QStringLiteral("bank:%1 count:%2 idstep:%3").arg(s[0]).arg(s[1]).arg(s[2]);
        worstFloor = std::max(worstFloor, median(QStringLiteral("BM_Draw ") + args) /
                                              median(QStringLiteral("BM_StorageFloor ") + args));
    }
    out << "\n| goal | figure | |\n|---|---:|---|\n"
        << "| at least 10× faster than the literal draw, 10,000 of 10,000 | "
        << QString::number(speedUp, 'f', 1) << "× | " << verdict(speedUp >= 10) << " |\n"
        << "| within 2× of the storage floor (worst size) | " << QString::number(worstFloor, 'f', 2)
        << "× | " << verdict(worstFloor <= 2) << " |\n"
        << "| linear in the bank: 116 of 100,000 ÷ 116 of 10,000 | "
        << QString::number(growth, 'f', 2) << "× | " << verdict(growth <= kLinear) << " |\n"
        << "| linear in the bank: 100,000 of 100,000 ÷ 10,000 of 10,000 | "
        << QString::number(growthAll, 'f', 2) << "× | " << verdict(growthAll <= kLinear)
        << " |\n\n";
}

void windowTable(QTextStream& out, const QMap<QString, Figure>& f) {
    struct Action {
        const char* name;
        const char* benchmark;
        const char* arg;
        QList<int> sizes;
        const char* suffix = "";
    };
    const QList<int> banks{0, 10000, 100000};
    const QList<int> tables{116, 10000, 100000};
    // Exam tables of 116 questions stand for the sample bank; the exam draws 116.
    const QList<Action> actions{
        {"open the exam window (draw + first question)", "BM_OpenExam", "bank", banks},
        {"Next", "BM_ExamNext", "bank", banks},
        {"Previous", "BM_ExamPrevious", "bank", banks},
        {"Show Answer", "BM_ShowAnswer", "bank", banks},
        {"End Exam to score sheet shown", "BM_EndExamToScoreSheet", "bank", banks},
        {"score sheet, 19 categories, 116 drawn", "BM_ScoreSheet", "rows", tables, " drawn:116"},
        {"open the review, 116 drawn, half wrong", "BM_OpenReview", "rows", tables, " drawn:116"},
        {"open the study window", "BM_OpenStudy", "bank", banks},
        {"Next in the study window", "BM_StudyNext", "bank", banks},
    };
    out << "## Actions through the windows\n\n"
           "Offscreen platform, each action timed until its window is laid out and painted. "
           "Times in ms (median | min | max). `sample` is the sample bank; `rows` is the size "
           "of an exam table. The max of a 10,000 or 100,000 row case is its first iteration, "
           "which pays the one-time check of a newly opened file (see the notes).\n\n"
           "| action | size | median | min | max |\n|---|---:|---:|---:|---:|\n";
    bool sampleMet = true;
    bool bigMet = true;
    bool linearMet = true;
    QString growth;
    for (const Action& a : actions) {
        for (int size : a.sizes) {
            const Figure fig = f.value(QStringLiteral("%1 %2:%3")
                                           .arg(QLatin1String(a.benchmark), QLatin1String(a.arg))
                                           .arg(size) +
                                       QLatin1String(a.suffix));
            out << "| " << a.name << " | "
                << (size == 0 ? QStringLiteral("sample") : QString::number(size)) << " | "
                << cells(fig) << " |\n";
            if (size == 0 || size == 116) {
                sampleMet = sampleMet && fig.valid && fig.median < 16;
            }
            if (size == 100000) {
                bigMet = bigMet && fig.valid && fig.max <= 250;
            }
        }
        const Figure small = f.value(
            QStringLiteral("%1 %2:10000").arg(QLatin1String(a.benchmark), QLatin1String(a.arg)) +
            QLatin1String(a.suffix));
        const Figure big = f.value(
            QStringLiteral("%1 %2:100000").arg(QLatin1String(a.benchmark), QLatin1String(a.arg)) +
            QLatin1String(a.suffix));
        const double r = small.median > 0 ? big.median / small.median : 0;
        linearMet = linearMet && r <= kLinear;
        growth += QStringLiteral("| ") + QLatin1String(a.name) + QStringLiteral(" | ") +
                  ratio(big.median, small.median) + QStringLiteral(" |\n");
    }
    out << "\n10,000 → 100,000 (ten times the rows; linear growth is 10×, judged up to 12× "
           "for noise):\n\n"
           "| action | 100,000 ÷ 10,000 |\n|---|---:|\n"
        << growth << "\n| goal | |\n|---|---|\n"
        << "| every action on the sample bank (and 116-row tables) below 16 ms median | "
        << verdict(sampleMet) << " |\n"
        << "| no action on 100,000 rows above 250 ms (max) | " << verdict(bigMet) << " |\n"
        << "| no step worse than linear, 10,000 → 100,000 | " << verdict(linearMet) << " |\n\n";

    out << "Exams that draw the whole table (beyond any edition: an exam has at most 32,767 "
           "questions), for scale:\n\n"
           "| action | rows | median | min | max |\n|---|---:|---:|---:|---:|\n";
    for (const char* benchmark : {"BM_ScoreSheet", "BM_OpenReview"}) {
        for (int rows : {10000, 100000}) {
            out << "| " << benchmark << " | " << rows << " | "
                << cells(f.value(QStringLiteral("%1 rows:%2 drawn:%2")
                                     .arg(QLatin1String(benchmark))
                                     .arg(rows)))
                << " |\n";
        }
    }
    out << "\n";
}

void examRoomTable(QTextStream& out, const QMap<QString, Figure>& f) {
    struct Action {
        const char* name;
        const char* benchmark;
    };
    const QList<Action> actions{
        {"flag the question on screen", "BM_FlagQuestion"},
        {"open the review list", "BM_OpenReviewScreen"},
        {"go to a question from the review list", "BM_ReviewJump"},
    };
    out << "## The exam room\n\n"
           "The exam window on the sample bank's exam (116 questions) and on an exam that draws "
           "10,000. Times in ms (median | min | max).\n\n"
           "| action | exam | median | min | max |\n|---|---:|---:|---:|---:|\n";
    bool sampleMet = true;
    bool bigMet = true;
    for (const Action& a : actions) {
        for (int size : {0, 10000}) {
            const Figure fig =
                f.value(QStringLiteral("%1 exam:%2").arg(QLatin1String(a.benchmark)).arg(size));
            out << "| " << a.name << " | "
                << (size == 0 ? QStringLiteral("sample") : QString::number(size)) << " | "
                << cells(fig) << " |\n";
            if (size == 0) {
                sampleMet = sampleMet && fig.valid && fig.median < 16;
            } else {
                bigMet = bigMet && fig.valid && fig.median < 100;
            }
        }
    }
    out << "\n| goal | |\n|---|---|\n"
        << "| each under 16 ms (median) on the sample bank | " << verdict(sampleMet) << " |\n"
        << "| each under 100 ms (median) for an exam of 10,000 questions | " << verdict(bigMet)
        << " |\n\n";
}

void customExamTable(QTextStream& out, const QMap<QString, Figure>& f) {
    struct Action {
        const char* name;
        const char* key;
        const char* bank;
        const char* categories;
    };
    const QList<Action> actions{
        {"open the Custom Exam dialog", "BM_OpenCustomExam bank:10000 categories:100", "10000",
         "100"},
        {"open the Custom Exam dialog", "BM_OpenCustomExam bank:100000 categories:100", "100000",
         "100"},
        {"custom draw of 20", "BM_CustomDraw bank:10000 count:20 categories:1", "10000", "1 of 10"},
        {"custom draw of 20", "BM_CustomDraw bank:100000 count:20 categories:3", "100000",
         "3 of 10"},
        {"custom draw of 20", "BM_CustomDraw bank:100000 count:20 categories:10", "100000",
         "10 of 10"},
    };
    out << "## Custom exams\n\n"
           "The dialog: chosen from the menu until it is laid out and painted, made afresh and "
           "the exam's categories counted each time. The draw: 20 questions from the ticked "
           "categories. Times in ms (median | min | max). The dialog's max is its first opening, "
           "which pays the one-time check of a newly opened file.\n\n"
           "| action | bank | categories | median | min | max |\n|---|---:|---:|---:|---:|---:|\n";
    for (const Action& a : actions) {
        out << "| " << a.name << " | " << a.bank << " | " << a.categories << " | "
            << cells(f.value(QLatin1String(a.key))) << " |\n";
    }
    const Figure dialog = f.value(QStringLiteral("BM_OpenCustomExam bank:100000 categories:100"));
    bool drawMet = true;
    for (const char* key : {"BM_CustomDraw bank:100000 count:20 categories:3",
                            "BM_CustomDraw bank:100000 count:20 categories:10"}) {
        const Figure draw = f.value(QLatin1String(key));
        drawMet = drawMet && draw.valid && draw.median < 16;
    }
    out << "\n| goal | |\n|---|---|\n"
        << "| open the dialog under 16 ms (median, 100,000 questions, 100 categories) | "
        << verdict(dialog.valid && dialog.median < 16) << " |\n"
        << "| custom draw of 20 under 16 ms (median, 100,000 questions) | " << verdict(drawMet)
        << " |\n\n";
}

void progressTable(QTextStream& out, const QMap<QString, Figure>& f) {
    struct Action {
        const char* name;
        const char* benchmark;
        double goal;
    };
    const QList<Action> actions{
        {"record a scored exam (116 questions, 19 categories)", "BM_RecordAttempt", 5},
        {"open the Progress window", "BM_OpenProgress", 100},
        {"choose another attempt: charts redrawn", "BM_RedrawCharts", 16},
        {"filter by name: table and both charts rebuilt and redrawn", "BM_FilterByName", 16},
    };
    out << "## The progress history\n\n"
           "A history file holding 10 or 1,000 attempts. Times in ms (median | min | max).\n\n"
           "| action | attempts | median | min | max |\n|---|---:|---:|---:|---:|\n";
    QString goals;
    for (const Action& a : actions) {
        for (int attempts : {10, 1000}) {
            const Figure fig = f.value(
                QStringLiteral("%1 attempts:%2").arg(QLatin1String(a.benchmark)).arg(attempts));
            out << "| " << a.name << " | " << attempts << " | " << cells(fig) << " |\n";
        }
        const Figure big =
            f.value(QStringLiteral("%1 attempts:1000").arg(QLatin1String(a.benchmark)));
        goals += QStringLiteral("| %1 under %2 ms (median, 1,000 attempts) | %3 |\n")
                     .arg(QLatin1String(a.name))
                     .arg(a.goal)
                     .arg(verdict(big.valid && big.median < a.goal));
    }
    out << "\n| goal | |\n|---|---|\n" << goals << "\n";
}

void startupTable(QTextStream& out, const QString& path) {
    QFile file(path);
    QMap<QString, QList<double>> lines;
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd()) {
            const QStringList parts = QString::fromUtf8(file.readLine()).simplified().split(u' ');
            if (parts.size() == 7) {
                QList<double> values;
                for (int i = 1; i < 7; ++i) {
                    values << parts[i].toDouble();
                }
                lines.insert(parts[0], values);
            }
        }
    }
    out << "## Start-up\n\n"
           "Process start until its first window is mapped on Xvfb (no window manager), and "
           "peak resident memory, in the program's run folder.\n\n"
           "| program | ms median | min | max | MiB median | min | max |\n"
           "|---|---:|---:|---:|---:|---:|---:|\n";
    for (auto it = lines.cbegin(); it != lines.cend(); ++it) {
        out << "| " << it.key();
        for (double v : it.value()) {
            out << " | " << QString::number(v, 'f', 1);
        }
        out << " |\n";
    }
    const QList<double> pro = lines.value(QStringLiteral("kvn_pro"));
    const QList<double> bare = lines.value(QStringLiteral("bare_window"));
    if (pro.size() == 6 && bare.size() == 6) {
        const double time = pro[0] / bare[0];
        const double memory = pro[3] - bare[3];
        out << "\n| goal | figure | |\n|---|---:|---|\n"
            << "| start-up within 1.2× the bare window | " << QString::number(time, 'f', 2)
            << "× | " << verdict(time <= 1.2) << " |\n"
            << "| peak memory within 8 MiB of the bare window | +"
            << QString::number(memory, 'f', 1) << " MiB | " << verdict(memory <= 8) << " |\n";
    }
    out << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: results_table OUT.md FACTS.txt STARTUP.txt REPORT.json...\n");
        return 2;
    }
    QStringList reports;
    for (int i = 4; i < argc; ++i) {
        reports << QString::fromLocal8Bit(argv[i]);
    }
    const QMap<QString, Figure> figures = readReports(reports);

    QFile facts(QString::fromLocal8Bit(argv[2]));
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!facts.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "results_table: cannot read the facts or write the table\n");
        return 1;
    }
    QTextStream text(&out);
    text << "# Benchmark results\n\n" << QString::fromUtf8(facts.readAll()) << "\n";
    drawTable(text, figures);
    windowTable(text, figures);
    examRoomTable(text, figures);
    customExamTable(text, figures);
    progressTable(text, figures);
    startupTable(text, QString::fromLocal8Bit(argv[3]));
    return 0;
}
