#pragma once

// Steps of a whole exam through the real windows, as a candidate takes it.
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include "app/window_flow.h"
#include "app/window_names.h"
#include "fixture_database.h"
#include "start/form1.h"

using testsupport::FixtureDatabase;

template <class T = QWidget>
inline T* control(const QString& window, const char* name) {
    QWidget* w = flow::existing(window);
    return w ? w->findChild<T*>(QLatin1String(name)) : nullptr;
}

inline void click(const QString& window, const char* name) {
    auto* button = control<QAbstractButton>(window, name);
    QVERIFY2(button, name);
    QVERIFY2(button->isEnabled() && button->isVisible(), name);
    button->click();
}

// A bank of `questions` in exam `exam`, categories in turn; every third question is a
// multiple-answer one keyed on choices 2 and 4, the others keyed on choice (id % 4) + 1.
inline void fillBank(FixtureDatabase& db, int exam, int questions, int categories) {
    QStringList names;
    for (int i = 0; i < categories; ++i) {
        names << QStringLiteral("Category %1").arg(i);
    }
    db.addCategories(names);
    for (int id = 1; id <= questions; ++id) {
        testsupport::Question q;
        q.id = id;
        q.catId = (id - 1) % categories;
        q.catDesc = names[q.catId];
        q.question = QStringLiteral("Question %1").arg(id);
        q.answers = {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three"),
                     QStringLiteral("four"), QString()};
        q.explanation = QStringLiteral("Because.");
        if (id % 3 == 0) {
            q.key = {false, true, false, true, false};
            q.questionType = QStringLiteral("multiple_answer");
        } else {
            q.key[size_t(id % 4)] = true;
            q.questionType = QStringLiteral("single_answer");
        }
        q.diagram = id == 1 ? QStringLiteral("exhibit.png") : QString();
        db.addQuestion(exam, q);
    }
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QVERIFY(picture.save(db.dir() + QStringLiteral("/exhibit.png")));
    db.setTestInformation(
        {QStringLiteral("Exam"), QStringLiteral("n"), QString(), QString(), QString(), QString()});
}

inline void startExam(const char* menuEntry) {
    forms::get<Form1>().findChild<QAction*>(QLatin1String(menuEntry))->trigger();
    click(win::Intro, "Command1");
    click(win::Notice, "OKButton");
    QVERIFY(flow::existing(win::Exam)->isVisible());
}

// Marks the key of the shown question (or, when wrong, the choice after the key's first one).
inline void answerShownQuestion(const FixtureDatabase& db, int exam, bool right) {
    const QString form = win::Exam;
    const qint64 id = control<QLineEdit>(form, "Text1")->text().toLongLong();
    QVERIFY(id > 0);
    const std::array<int, 5> key = db.answers(QStringLiteral("exam%1").arg(exam * 11), id);
    const bool single = control<QRadioButton>(form, "Option1")->isVisible();
    for (int n = 1; n <= 5; ++n) {
        const bool mark =
            right ? key[size_t(n - 1)] == 1 : (n == 1 && key[0] == 0) || (n == 2 && key[0] == 1);
        if (!mark) {
            continue;
        }
        const QByteArray name = (single ? "Option" : "Check") + QByteArray::number(n);
        click(form, name.constData());
    }
}

// Answers every question, the first `right` of them correctly, moving on with Next.
inline void answerAll(const FixtureDatabase& db, int exam, int questions, int right) {
    for (int i = 0; i < questions; ++i) {
        answerShownQuestion(db, exam, i < right);
        if (i + 1 < questions) {
            click(win::Exam, "CmdNextQ");
        }
    }
}

inline QString scoreText() {
    return control<QLabel>(win::ScoreSheet, "lblScoreObtained")->text();
}
inline QString verdictText() {
    return control<QLabel>(win::ScoreSheet, "Label1")->text();
}
