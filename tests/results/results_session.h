#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/forms.h"
#include "app/window_flow.h"
#include "app/window_names.h"
#include "app_test_env.h"
#include "fixture_database.h"
#include "results/results_windows.h"

// An ended exam as the score sheet finds it: the edition's database file with questions drawn
// and answered, ExamSettings set as the exam left them, and the windows of the other
// subsystems replaced by stand-ins that record what was asked of them.
struct ResultsSession {
    struct StandIn {
        int shown = 0;
        int discarded = 0;
        std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    };

    AppTestEnv env;
    testsupport::FixtureDatabase db;
    StandIn examWindow;
    StandIn exhibitWindow;

    explicit ResultsSession(const app::Edition& edition, int exam = 1)
        : env(edition), db(edition.databaseFile) {
        ExamSettings.QuestionsPerExam = edition.questionsPerExam;
        ExamSettings.ActiveExam = qint16(exam);
        ExamSettings.CandidateName = QStringLiteral("Ada Lovelace");
        ExamSettings.QuestionNo = edition.questionsPerExam;
        results::registerWindows();
        standIn(win::Exam, examWindow);
        standIn(win::Exhibit, exhibitWindow);
    }

    ~ResultsSession() {
        // The windows hold connections to the file; they go before the file's folder does.
        forms::discardAll();
        probe::settleDeletions();
    }
    ResultsSession(const ResultsSession&) = delete;
    ResultsSession& operator=(const ResultsSession&) = delete;

    static void standIn(const QString& name, StandIn& w) {
        flow::registerWindow(name, {[&w] {
                                        ++w.shown;
                                        w.window->show();
                                    },
                                    [&w] { w.window->hide(); },
                                    [&w] {
                                        ++w.discarded;
                                        w.window->hide();
                                    },
                                    [&w] { return w.window.get(); }});
    }

    // count questions with IDs 1..count in categories 0..categories-1 in turn, all drawn.
    void bank(int exam, int count, int categories = 1) {
        QStringList names;
        for (int i = 0; i < categories; ++i) {
            names << QStringLiteral("Category %1").arg(i);
        }
        if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM cat")).toInt() == 0) {
            db.addCategories(names);
        }
        db.addQuestions(exam, count, categories);
        QList<qint64> ids;
        for (int i = 1; i <= count; ++i) {
            ids << i;
        }
        db.draw(ids);
    }

    // Copies the key into the responses of the questions whose ID satisfies the condition.
    void answerCorrectly(int exam, const QString& where) const {
        const QString t = QStringLiteral("exam%1").arg(exam);
        const QString k = QStringLiteral("exam%1%1").arg(exam);
        QStringList sets;
        for (int c = 1; c <= 5; ++c) {
            sets << QStringLiteral(
                        "correctanswer%1 = (SELECT correctanswer%1 FROM %2 WHERE "
                        "%2.ID = %3.ID)")
                        .arg(c)
                        .arg(k, t);
        }
        db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                    .arg(t, sets.join(QStringLiteral(", ")), where));
    }
};

// Points the user's home, and so the documents folder, at a temporary folder while it lives.
class TemporaryHome {
public:
    TemporaryHome() : oldHome_(qgetenv("HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", home_.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME",
                QDir(home_.path()).filePath(QStringLiteral(".config")).toLocal8Bit());
    }
    ~TemporaryHome() {
        qputenv("HOME", oldHome_);
        if (oldConfig_.isNull()) {
            qunsetenv("XDG_CONFIG_HOME");
        } else {
            qputenv("XDG_CONFIG_HOME", oldConfig_);
        }
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    QString path() const { return home_.path(); }

private:
    QTemporaryDir home_;
    QByteArray oldHome_;
    QByteArray oldConfig_;
};
