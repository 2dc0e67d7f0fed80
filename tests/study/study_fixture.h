#pragma once

#include <QDir>
#include <QImage>
#include <QMap>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "app/edition.h"
#include "app/window_flow.h"
#include "app_test_env.h"
#include "fixture_database.h"
#include "start/startup.h"
#include "study/study_windows.h"

// Shared arrangements of the study subsystem's window tests.
namespace studytest {

inline QString fileOf(const QString& edition) {
    return probe::editionNamed(edition).databaseFile;
}

// A key row: key is five '0'/'1' marks, answers the non-empty texts from answer1 on.
inline testsupport::Question question(qint64 id, const QString& type, int answerCount,
                                      const QString& key, const QString& diagram = QString()) {
    testsupport::Question q;
    q.id = id;
    q.question = QStringLiteral("Question %1").arg(id);
    for (int i = 0; i < answerCount; ++i) {
        q.answers[size_t(i)] = QStringLiteral("Answer %1.%2").arg(id).arg(i + 1);
    }
    for (int i = 0; i < 5; ++i) {
        q.key[size_t(i)] = key.at(i) == QLatin1Char('1');
    }
    q.explanation = QStringLiteral("Explanation %1").arg(id);
    q.questionType = type;
    q.diagram = diagram;
    return q;
}

// Every row of every table, to show that nothing was written.
inline QMap<QString, QList<QVariantList>> snapshot(const testsupport::FixtureDatabase& db) {
    QMap<QString, QList<QVariantList>> tables;
    const auto names = db.rows(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    for (const QVariantList& row : names) {
        const QString name = row.first().toString();
        tables.insert(name,
                      db.rows(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(name)));
    }
    return tables;
}

// A window of another subsystem that only counts how often it is shown.
struct FakeWindows {
    QMap<QString, int> shown;

    void add(const QString& name) {
        flow::registerWindow(name, {[this, name] { ++shown[name]; }, [] {}, [] {},
                                    [] { return static_cast<QWidget*>(nullptr); }});
    }
    int total() const {
        int sum = 0;
        for (int n : shown) {
            sum += n;
        }
        return sum;
    }
};

// A picture whose every pixel tells where it is, so a scaled or shifted copy is noticed.
inline QImage positionPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x % 251, y % 241, (x / 251 + 7 * (y / 241)) % 256));
        }
    }
    return image;
}

// A program of the given edition just started, in a folder holding its empty database.
struct Started {
    testsupport::FixtureDatabase db;
    AppTestEnv env;
    explicit Started(const QString& edition)
        : db(fileOf(edition)), env(probe::editionNamed(edition)) {
        study::registerWindows();
        app::Main();
    }
};

inline QTimer* clockOf(QWidget& window) {
    return window.findChild<QTimer*>(QStringLiteral("Timer1"));
}

}  // namespace studytest
