// Takes exams through the real windows, on the offscreen platform, for the kill campaign:
//
//   exam_driver bank DIR [demo]   makes the edition's database in DIR
//   exam_driver run DIR [demo]    takes exams until killed, reporting each step on stdout
//   exam_driver check DIR LOG [demo]
//                                 after a kill: the file is sound, every answer LOG reports
//                                 saved is in it, and the next start runs a clean exam
//
// "run" prints a line only once the step has returned, so a line in the log means the step's
// writes were committed before the kill.
#include <sqlite3.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <cstdio>
#include <random>

#include "app/database_lock.h"
#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/forms.h"
#include "app/prompts.h"
#include "app/window_flow.h"
#include "app/window_names.h"
#include "exam/form211.h"
#include "fixture_database.h"
#include "history/history_access.h"
#include "program_windows.h"
#include "start/form1.h"
#include "start/startup.h"

namespace {

const QString kExam = win::Exam;
// The prompts of the program under drive; a fatal message is the last one shown.
prompts::Script* script = nullptr;

const app::Edition& editionFor(bool demo) {
    return demo ? app::demoEdition() : app::fullEdition();
}

void say(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

[[noreturn]] void fail(const QString& why) {
    say(QStringLiteral("FAIL ") + why);
    std::exit(1);
}

template <class T = QWidget>
T* control(const QString& window, const char* name) {
    QWidget* w = flow::existing(window);
    T* found = w ? w->findChild<T*>(QLatin1String(name)) : nullptr;
    if (!found) {
        fail(QStringLiteral("no %1.%2").arg(window, QLatin1String(name)));
    }
    return found;
}

void click(const QString& window, const char* name) {
    auto* button = control<QAbstractButton>(window, name);
    if (!button->isVisible() || !button->isEnabled()) {
        fail(QStringLiteral("%1.%2 cannot be pressed").arg(window, QLatin1String(name)));
    }
    button->click();
    QCoreApplication::processEvents();
    if (app::endRequested()) {
        fail(
            QStringLiteral("the program ended after %1.%2: %3")
                .arg(window, QLatin1String(name),
                     script && !script->shown().empty() ? script->shown().back().text : QString()));
    }
}

// Every exam table holds exactly one exam's worth of questions, so a clean exam scores 0.
int makeBank(const QString& dir, bool demo) {
    const app::Edition& e = editionFor(demo);
    testsupport::FixtureDatabase db(e.databaseFile);
    db.addCategories({QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma")});
    for (int exam = 1; exam <= (demo ? 1 : 3); ++exam) {
        for (int id = 1; id <= e.questionsPerExam; ++id) {
            testsupport::Question q;
            q.id = id * 7;  // gaps, as hand-made banks have
            q.catId = id % 3;
            q.catDesc = QStringLiteral("Category");
            q.question = QStringLiteral("Question %1 of exam %2").arg(id).arg(exam);
            q.answers = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                         QStringLiteral("d"), id % 2 ? QStringLiteral("e") : QString()};
            q.key[size_t(id % 4)] = true;
            q.questionType =
                id % 2 ? QStringLiteral("single_answer") : QStringLiteral("multiple_answer");
            db.addQuestion(exam, q);
        }
    }
    db.setTestInformation(
        {QStringLiteral("Exam"), QStringLiteral("n"), QString(), QString(), QString(), QString()});
    db.scalar(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    const QString target = QDir(dir).filePath(e.databaseFile);
    QFile::remove(target);
    if (!QFile::copy(db.path(), target)) {
        fail(QStringLiteral("cannot write ") + target);
    }
    return 0;
}

QString marks() {
    QString out;
    for (int n = 1; n <= 5; ++n) {
        const QByteArray name = "Check" + QByteArray::number(n);
        out += control<QCheckBox>(kExam, name.constData())->isChecked() ? QLatin1Char('1')
                                                                        : QLatin1Char('0');
    }
    return out;
}

QString shownId() {
    return control<QLineEdit>(kExam, "Text1")->text();
}

QString flagShown() {
    return control<QCheckBox>(kExam, "chkFlag")->isChecked() ? QStringLiteral("F")
                                                             : QStringLiteral("-");
}

// A choice or the flag clicked: the window writes it at once, so the log names the state before
// and the state the click leads to, then reports it written.
void change(int exam, QAbstractButton* button, const QString& marksAfter,
            const QString& flagAfter) {
    const QString id = shownId();
    say(QStringLiteral("changing %1 %2 %3 %4 %5 %6")
            .arg(exam)
            .arg(id, marks(), flagShown(), marksAfter, flagAfter));
    button->click();
    say(QStringLiteral("changed %1 %2 %3 %4").arg(exam).arg(id, marks(), flagShown()));
}

void startProgram(bool demo, prompts::Script& prompts) {
    script = &prompts;
    app::setEdition(editionFor(demo));
    resetExamSettings();
    app::setEnding([](int) {});
    app::registerShellWindows();
    registerProgramWindows();
    app::Main();
}

void startExam(int exam) {
    const QByteArray entry = "mnuExamsub" + QByteArray::number(exam);
    forms::get<Form1>().findChild<QAction*>(QLatin1String(entry))->trigger();
    click(win::Intro, "Command1");
    click(win::Notice, "OKButton");
}

int runExams(bool demo) {
    prompts::Script answers;
    startProgram(demo, answers);
    std::mt19937 random(std::random_device{}());
    const auto chance = [&](int percent) { return int(random() % 100) < percent; };
    const auto pause = [&] { QThread::usleep(random() % 20000); };
    for (;;) {
        const int exam = demo ? 1 : int(random() % 3) + 1;
        say(QStringLiteral("drawing %1").arg(exam));
        startExam(exam);
        say(QStringLiteral("drawn %1").arg(exam));
        const int moves = int(random() % 25);
        for (int move = 0; move < moves; ++move) {
            pause();
            const bool single = control<QRadioButton>(kExam, "Option1")->isVisible();
            for (int n = 1; n <= 5; ++n) {
                const QByteArray name = (single ? "Option" : "Check") + QByteArray::number(n);
                auto* mark = control<QAbstractButton>(kExam, name.constData());
                if (mark->isVisible() && chance(single ? 20 : 35)) {
                    QString after = single ? QStringLiteral("00000") : marks();
                    after[n - 1] = single || after[n - 1] == QLatin1Char('0') ? QLatin1Char('1')
                                                                              : QLatin1Char('0');
                    change(exam, mark, after, flagShown());
                    // A kill may land here too: answered on screen, not yet moved on.
                    pause();
                }
            }
            if (chance(15)) {
                change(
                    exam, control<QCheckBox>(kExam, "chkFlag"), marks(),
                    flagShown() == QLatin1String("F") ? QStringLiteral("-") : QStringLiteral("F"));
                pause();
            }
            if (chance(5)) {
                say(QStringLiteral("showing answer"));
                click(kExam, "Command1");
                flow::existing(win::Answer)->close();
                say(QStringLiteral("shown answer"));
            }
            const QString id = shownId();
            const QString left = marks() + QLatin1Char(' ') + flagShown();
            const bool canGoBack = control<QPushButton>(kExam, "cmdPrevQ")->isEnabled();
            const bool canGoOn = control<QPushButton>(kExam, "CmdNextQ")->isEnabled();
            // Every move, even one that stays on the last question, writes the marks first. A
            // kill between that write and the report leaves "moving" as the last word.
            say(QStringLiteral("moving %1 %2 %3").arg(exam).arg(id, left));
            click(kExam, canGoBack && (!canGoOn || chance(25)) ? "cmdPrevQ" : "CmdNextQ");
            say(QStringLiteral("saved %1 %2 %3 %4").arg(exam).arg(id, left, shownId()));
        }
        pause();
        // Ending the exam writes the marks of the question on show.
        say(QStringLiteral("scoring %1 %2 %3 %4").arg(exam).arg(shownId(), marks(), flagShown()));
        answers.answer(prompts::Answer::Ok);
        click(kExam, "cmdEndExam");
        say(QStringLiteral("scored %1 %2")
                .arg(exam)
                .arg(control<QLabel>(win::ScoreSheet, "lblScoreObtained")->text()));
        if (chance(30)) {
            pause();
            say(QStringLiteral("reviewing"));
            click(win::ScoreSheet, "CmdAnswers");
            click(win::WrongAnswers, "cmdScoreRep");
            say(QStringLiteral("reviewed"));
        }
        pause();
        say(QStringLiteral("leaving %1").arg(exam));
        click(win::ScoreSheet, "CmdExit");
        say(QStringLiteral("left %1").arg(exam));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// What the log says each exam table must hold. While a step that clears the table (the draw,
// leaving the score sheet) was under way, the table is either cleared or as it was before;
// a row whose write was under way (a move, the end of the exam) holds either its saved marks
// or those on screen.
struct Expected {
    QMap<QString, QString> saved;
    QMap<QString, QString> flags;  // "F" flagged, "-" not
    bool clearing = false;
    QString writingId;
    QString writingMarks;
    QString writingFlag;
    QString onScreen;  // the question a completed move arrived at
};

// What the kill interrupted: the exam, the last step the log reports begun or done, and what
// the exam's table and the resumed exam must hold.
struct KillReport {
    int exam = 1;
    QString phase;
    Expected expected;
};

QString answersOf(sqlite3* db, int exam, const QString& id) {
    const QByteArray sql = QStringLiteral(
                               "SELECT correctanswer1 || correctanswer2 || correctanswer3 || "
                               "correctanswer4 || correctanswer5 FROM exam%1 WHERE ID = %2")
                               .arg(exam)
                               .arg(id.toLongLong())
                               .toUtf8();
    sqlite3_stmt* s = nullptr;
    QString out = QStringLiteral("missing");
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW) {
        out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    }
    sqlite3_finalize(s);
    return out;
}

QString text(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    QString out;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW) {
        out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    } else {
        out = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_finalize(s);
    return out;
}

// The progress history holds every attempt whole: all its drawn questions and categories,
// however the kill fell on the write.
void checkHistory(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        fail(QStringLiteral("cannot open ") + path);
    }
    const QString integrity = text(db, "PRAGMA integrity_check");
    if (integrity != QLatin1String("ok")) {
        fail(QStringLiteral("history integrity_check: ") + integrity);
    }
    // A kill while the history was first made leaves a file without its tables, which the
    // next start makes; it holds no attempt.
    if (text(db, "SELECT count(*) FROM sqlite_master WHERE name = 'attempt'") ==
        QLatin1String("0")) {
        sqlite3_close(db);
        say(QStringLiteral("history ok, 0 attempts whole"));
        return;
    }
    const QString partial =
        text(db,
             "SELECT count(*) FROM attempt a WHERE (SELECT count(*) FROM attempt_question q WHERE "
             "q.attempt_id = a.attempt_id) <> CASE a.edition WHEN 'demo' THEN 30 ELSE 116 END OR "
             "(SELECT count(*) FROM attempt_category c WHERE c.attempt_id = a.attempt_id) <> 3");
    const QString attempts = text(db, "SELECT count(*) FROM attempt");
    sqlite3_close(db);
    if (partial != QLatin1String("0")) {
        fail(QStringLiteral("%1 of %2 recorded attempts are not whole").arg(partial, attempts));
    }
    say(QStringLiteral("history ok, %1 attempts whole").arg(attempts));
}

// The file as the kill left it, read before the program touches it again.
KillReport checkFile(const QString& file, const QString& logPath) {
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read ") + logPath);
    }
    QMap<int, Expected> expected;
    QString last = QStringLiteral("(nothing)");
    int lastExam = 1;
    QString lastPhase;
    for (const QByteArray& raw : log.readAll().split('\n')) {
        if (raw.isEmpty()) {
            continue;
        }
        last = QString::fromUtf8(raw);
        const QStringList f = last.split(QLatin1Char(' '));
        if (f.size() < 2) {
            continue;
        }
        const int exam = f[1].toInt();
        if (exam < 1) {
            continue;
        }
        lastExam = exam;
        lastPhase = f[0];
        Expected& e = expected[exam];
        if (f[0] == QLatin1String("drawing") || f[0] == QLatin1String("leaving")) {
            e.clearing = true;
        } else if (f[0] == QLatin1String("drawn") || f[0] == QLatin1String("left")) {
            e = Expected();
        } else if (f[0] == QLatin1String("saved") && f.size() == 6) {
            e.saved[f[2]] = f[3];
            e.flags[f[2]] = f[4];
            e.onScreen = f[5];
            e.writingId.clear();
        } else if (f[0] == QLatin1String("changing") && f.size() == 7) {
            // Before its first change a question holds no marks the log reported: these.
            if (!e.saved.contains(f[2])) {
                e.saved[f[2]] = f[3];
                e.flags[f[2]] = f[4];
            }
            e.writingId = f[2];
            e.writingMarks = f[5];
            e.writingFlag = f[6];
        } else if (f[0] == QLatin1String("changed") && f.size() == 5) {
            e.saved[f[2]] = f[3];
            e.flags[f[2]] = f[4];
            e.writingId.clear();
        } else if ((f[0] == QLatin1String("moving") || f[0] == QLatin1String("scoring")) &&
                   f.size() == 5) {
            e.writingId = f[2];
            e.writingMarks = f[3];
            e.writingFlag = f[4];
        } else if (f[0] == QLatin1String("scored")) {
            e.saved[e.writingId] = e.writingMarks;
            e.flags[e.writingId] = e.writingFlag;
            e.writingId.clear();
        }
    }
    say(QStringLiteral("killed after: ") + last);

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        fail(QStringLiteral("cannot open ") + file);
    }
    const QString integrity = text(db, "PRAGMA integrity_check");
    if (integrity != QLatin1String("ok")) {
        fail(QStringLiteral("integrity_check: ") + integrity);
    }
    int checked = 0;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const int exam = it.key();
        const Expected& e = it.value();
        bool allSaved = true;
        QString wrong;
        for (auto s = e.saved.cbegin(); s != e.saved.cend(); ++s) {
            const QString stored = answersOf(db, exam, s.key());
            const bool ok =
                stored == s.value() || (s.key() == e.writingId && stored == e.writingMarks);
            if (!ok) {
                allSaved = false;
                wrong = QStringLiteral("exam %1 ID %2 holds %3, saved %4")
                            .arg(exam)
                            .arg(s.key(), stored, s.value());
            }
            ++checked;
        }
        const QString sql = QStringLiteral(
            "SELECT count(*) FROM exam%1 WHERE correctanswer1 + correctanswer2 + correctanswer3 "
            "+ correctanswer4 + correctanswer5 > 0");
        const bool cleared = text(db, sql.arg(exam).toUtf8().constData()) == QLatin1String("0");
        if (!allSaved && !(e.clearing && cleared)) {
            fail(wrong);
        }
    }
    sqlite3_close(db);
    say(QStringLiteral("integrity ok, %1 saved answers found").arg(checked));
    checkHistory(QFileInfo(file).absoluteDir().filePath(QStringLiteral("history.sqlite")));
    return {lastExam, lastPhase, expected.value(lastExam)};
}

bool oneOf(const QString& phase, std::initializer_list<const char*> phases) {
    for (const char* p : phases) {
        if (phase == QLatin1String(p)) {
            return true;
        }
    }
    return false;
}

// The exam taken up again after the kill holds every answer and flag the log reports saved,
// on the question the last completed move arrived at; it is then ended and left.
void checkResumed(const KillReport& report, prompts::Script& answers) {
    const Expected& e = report.expected;
    if (ExamSettings.ActiveExam != report.exam) {
        fail(QStringLiteral("exam %1 resumed, exam %2 was killed")
                 .arg(ExamSettings.ActiveExam)
                 .arg(report.exam));
    }
    if (report.phase == QLatin1String("saved") && shownId() != e.onScreen) {
        fail(QStringLiteral("resumed on ID %1, the last move went to %2")
                 .arg(shownId(), e.onScreen));
    }
    // A kill inside the draw resumes the new draw: nothing answered, nothing flagged.
    const bool freshDraw = report.phase == QLatin1String("drawing");
    auto& exam = forms::get<Form211>();
    exam.goToQuestion(1);
    int answersBack = 0;
    int flagsBack = 0;
    for (int q = 1; q <= ExamSettings.QuestionsPerExam; ++q) {
        const QString id = shownId();
        const bool writing = id == e.writingId;
        if (freshDraw) {
            if (marks() != QLatin1String("00000") || flagShown() != QLatin1String("-")) {
                fail(QStringLiteral("a fresh draw resumed with marks %1 %2 on ID %3")
                         .arg(marks(), flagShown(), id));
            }
        } else if (e.saved.contains(id)) {
            if (marks() != e.saved[id] && !(writing && marks() == e.writingMarks)) {
                fail(QStringLiteral("resumed ID %1 shows %2, saved %3")
                         .arg(id, marks(), e.saved[id]));
            }
            if (flagShown() != e.flags[id] && !(writing && flagShown() == e.writingFlag)) {
                fail(QStringLiteral("resumed ID %1 flag %2, saved %3")
                         .arg(id, flagShown(), e.flags[id]));
            }
            ++answersBack;
            flagsBack += e.flags[id] == QLatin1String("F") ? 1 : 0;
        }
        if (q < ExamSettings.QuestionsPerExam) {
            click(kExam, "CmdNextQ");
        }
    }
    answers.answer(prompts::Answer::Ok);
    click(kExam, "cmdEndExam");
    click(win::ScoreSheet, "CmdExit");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    say(QStringLiteral("resume offered: %1 answers and %2 flags back")
            .arg(answersBack)
            .arg(flagsBack));
}

// The next start: the interrupted exam is offered when it was drawn and not yet scored, and
// comes back whole; then a new exam begins with no marks and, answered with none, scores 0.
void checkNextStart(bool demo, const KillReport& report) {
    prompts::Script answers;
    bool offered = false;
    {
        // Yes only to the offer: a Yes left over would cancel End Exam later.
        prompts::Script resume;
        resume.answer(prompts::Answer::Yes);
        startProgram(demo, resume);
        offered =
            !resume.shown().empty() && resume.shown().front().title == QLatin1String("Resume Exam");
    }
    script = &answers;
    // A kill inside the draw or inside scoring may land either side of its commit.
    const bool mustOffer = oneOf(
        report.phase, {"drawn", "changing", "changed", "moving", "saved", "showing", "shown"});
    const bool mustNotOffer =
        oneOf(report.phase, {"", "scored", "reviewing", "reviewed", "leaving", "left"});
    if (offered && mustNotOffer) {
        fail(QStringLiteral("resume offered after '%1'").arg(report.phase));
    }
    if (!offered && mustOffer) {
        fail(QStringLiteral("no resume offered after '%1'").arg(report.phase));
    }
    if (offered) {
        checkResumed(report, answers);
    } else {
        say(QStringLiteral("resume not offered"));
    }
    const int exam = report.exam;
    startExam(exam);
    for (int q = 1; q <= ExamSettings.QuestionsPerExam; ++q) {
        if (marks() != QLatin1String("00000")) {
            fail(QStringLiteral("question %1 of the new exam shows marks %2").arg(q).arg(marks()));
        }
        if (q < ExamSettings.QuestionsPerExam) {
            click(kExam, "CmdNextQ");
        }
    }
    answers.answer(prompts::Answer::Ok);
    click(kExam, "cmdEndExam");
    const QString score = control<QLabel>(win::ScoreSheet, "lblScoreObtained")->text();
    if (score != QLatin1String("0/1000")) {
        fail(QStringLiteral("an unanswered exam scored ") + score);
    }
    click(win::ScoreSheet, "CmdExit");
    forms::discardAll();
    script = nullptr;
    say(QStringLiteral("next start ok"));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2) {
        say(QStringLiteral("usage: exam_driver bank|run|check DIR [LOG] [demo]"));
        return 2;
    }
    const bool demo = args.last() == QLatin1String("demo");
    const QString dir = QDir(args[1]).absolutePath();
    if (args[0] == QLatin1String("bank")) {
        return makeBank(dir, demo);
    }
    if (!QDir::setCurrent(dir)) {
        fail(QStringLiteral("no folder ") + dir);
    }
    // The history of the edition's runs lives beside its bank, kept from kill to kill.
    history::setLocation(QDir(dir).filePath(QStringLiteral("history.sqlite")));
    app::DatabaseLock lock;
    if (!lock.claim(editionFor(demo).databaseFile)) {
        fail(app::databaseInUseText(editionFor(demo).databaseFile));
    }
    if (args[0] == QLatin1String("run")) {
        return runExams(demo);
    }
    if (args[0] == QLatin1String("check") && args.size() >= 3) {
        checkNextStart(demo, checkFile(editionFor(demo).databaseFile, args[2]));
        return 0;
    }
    say(QStringLiteral("unknown command ") + args[0]);
    return 2;
}
