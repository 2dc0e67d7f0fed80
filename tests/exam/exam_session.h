#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/window_names.h"
#include "app_test_env.h"
#include "exam/exam_windows.h"
#include "exam/form211.h"
#include "fixture_database.h"
#include "window_probe.h"

// A bank in a fresh database, the process in its start state under one edition, and stand-ins
// for the windows the exam window opens by name.
struct ExamSession {
    testsupport::FixtureDatabase db;
    AppTestEnv env;
    int scoreReports = 0;
    int answerWindows = 0;
    int exhibitWindows = 0;

    explicit ExamSession(const app::Edition& edition, qint16 exam = 1)
        : db(edition.databaseFile), env(edition) {
        ExamSettings.QuestionsPerExam = edition.questionsPerExam;
        ExamSettings.ActiveExam = exam;
        exam::registerWindows();
        flow::registerWindow(win::ScoreSheet, AppTestEnv::fakeWindow([this] { ++scoreReports; }));
        flow::registerWindow(win::Answer, AppTestEnv::fakeWindow([this] { ++answerWindows; }));
        flow::registerWindow(win::Exhibit, AppTestEnv::fakeWindow([this] { ++exhibitWindows; }));
    }

    // count questions with IDs from 1; shape adjusts each before it is stored.
    void addBank(int exam, int count,
                 const std::function<void(testsupport::Question&)>& shape = {}) const {
        db.exec(QStringLiteral("BEGIN"));
        for (int i = 1; i <= count; ++i) {
            testsupport::Question q;
            q.id = i;
            q.question = QStringLiteral("Question %1").arg(i);
            for (int c = 0; c < 5; ++c) {
                q.answers[size_t(c)] = QStringLiteral("Answer %1.%2").arg(i).arg(c + 1);
            }
            q.key[size_t(i % 5)] = true;
            if (shape) {
                shape(q);
            }
            db.addQuestion(exam, q);
        }
        db.exec(QStringLiteral("COMMIT"));
    }

    Form211& open() {
        flow::open(win::Exam);
        return forms::get<Form211>();
    }

    QList<qint64> drawOrder() const {
        QList<qint64> ids;
        for (const QVariantList& row :
             db.rows(QStringLiteral("SELECT ID FROM tblRandom ORDER BY sl_no"))) {
            ids << row.at(0).toLongLong();
        }
        return ids;
    }
};

using probe::control;

inline qint64 shownId(QWidget& window) {
    return control<QLineEdit>(window, QStringLiteral("Text1"))->text().toLongLong();
}

// Clicks the indicator, not the middle of a stretched button.
inline void clickMark(QWidget& window, const QString& name) {
    auto* mark = control<QAbstractButton>(window, name);
    QTest::mouseClick(mark, Qt::LeftButton, {}, QPoint(8, mark->height() / 2));
}

// The text box of answer n (1 to 5).
inline QPlainTextEdit* choiceText(QWidget& window, int n) {
    const char* boxes[] = {"Text2_1", "Text2_2", "Text2_4", "Text2_5", "Text2_3"};
    return control<QPlainTextEdit>(window, QLatin1String(boxes[n - 1]));
}

// A left click on the text of answer n, as a candidate clicks a choice's words.
inline void clickChoiceText(QWidget& window, int n) {
    QTest::mouseClick(choiceText(window, n)->viewport(), Qt::LeftButton, {}, QPoint(6, 6));
    QCoreApplication::processEvents();  // the choice is made once the text has had the click
}

inline void pressButton(QWidget& window, const char* name) {
    control<QAbstractButton>(window, QLatin1String(name))->click();
}

inline bool shown(QWidget& window, const QString& name) {
    return control<QWidget>(window, name)->isVisibleTo(&window);
}

inline void tick(Form211& form, int times) {
    for (int i = 0; i < times; ++i) {
        form.Timer1_Timer();
    }
}
