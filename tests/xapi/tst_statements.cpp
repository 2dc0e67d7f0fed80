// What an ended exam tells a record store, built from a real scored draw, and where it may go.
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QtTest>

#include "examdb/database.h"
#include "examdb/error.h"
#include "fixture_database.h"
#include "history/history_store.h"
#include "session/exam_session.h"
#include "xapi/exam_statements.h"
#include "xapi/lrs_settings.h"
#include "xapi/outbox.h"
#include "xapi/statement_parts.h"

using testsupport::FixtureDatabase;

namespace {

QJsonValue at(const QJsonObject& o, const QString& path) {
    QJsonValue v = o;
    for (const QString& part : path.split(u'.')) {
        v = v.isArray() ? v.toArray().at(part.toInt()) : v.toObject().value(part);
    }
    return v;
}

std::vector<QJsonObject> parsed(const std::vector<xapi::Statement>& statements) {
    std::vector<QJsonObject> objects;
    for (const xapi::Statement& s : statements) {
        QJsonParseError error;
        objects.push_back(QJsonDocument::fromJson(s.json, &error).object());
        if (error.error != QJsonParseError::NoError ||
            objects.back().value(QStringLiteral("id")).toString() != s.id) {
            qWarning("not the statement queued: %s", s.json.constData());
            return {};
        }
    }
    return objects;
}

}  // namespace

class TestStatements : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void anEndedExamAndAPracticeRun();
    void endpointsThatMayCarryResults_data();
    void endpointsThatMayCarryResults();
    void durations_data();
    void durations();
    void queuedWithTheAttemptOrNotAtAll();
};

// Exam 2 of five questions, the fourth with three choices and two keys; the candidate answers
// two right, one wrong and leaves two blank, spending 7 s on each.
void TestStatements::anEndedExamAndAPracticeRun() {
    FixtureDatabase fixture;
    fixture.addCategories({QStringLiteral("Routing"), QStringLiteral("Security")});
    fixture.setTestInformation({QStringLiteral("Korvane Practice Exam"), QStringLiteral("5"),
                                QString(), QString(), QString(), QString()});
    fixture.addQuestions(2, 3, 2);
    testsupport::Question odd;
    odd.id = 4;
    odd.catId = 1;
    odd.question = QStringLiteral("Which <b>two</b> \"ports\"? (Choose two.)");
    odd.answers = {QStringLiteral("22"), QStringLiteral("23"), QStringLiteral("443")};
    odd.key = {true, false, true, false, false};
    fixture.addQuestion(2, odd);
    fixture.addQuestions(2, 1, 1, 5);
    examdb::Database db = examdb::Database::open(fixture.fileName());

    session::ExamSession exam;
    exam.begin(session::Mode::FixedExam, 2, QStringLiteral("Ann"));
    QVERIFY(exam.draw(db, 5));
    const session::Choices first{true, false, false, false, false};   // ID 1's key is choice 2
    const session::Choices second{false, false, true, false, false};  // ID 2's key
    const session::Choices both{true, false, true, false, false};
    for (int position = 1; position <= 5; ++position) {
        exam.move(db, position);
        for (int s = 0; s < 7; ++s) {
            exam.tick(3600);
        }
    }
    exam.answer(db, exam.positionOf(1), first);
    exam.answer(db, exam.positionOf(2), second);
    exam.answer(db, exam.positionOf(4), both);
    const session::ScoreReport report = exam.end(db, 2, 5, 750);
    QCOMPARE(report.bank, QStringLiteral("Korvane Practice Exam"));

    xapi::AttemptFacts facts{QStringLiteral("https://centre.example.org/"),
                             QStringLiteral("Ann"),
                             exam.attemptKey(),
                             report.bank,
                             2,
                             xapi::AttemptFacts::Kind::Fixed,
                             35};
    const std::vector<QJsonObject> told = parsed(xapi::examStatements(facts, report));
    QCOMPARE(told.size(), size_t(6));
    QSet<QString> ids;
    for (const QJsonObject& s : told) {
        ids.insert(s.value(QStringLiteral("id")).toString());
        QCOMPARE(at(s, "context.registration").toString(), exam.attemptKey());
        QCOMPARE(at(s, "actor.account.name").toString(), QStringLiteral("Ann"));
        QCOMPARE(at(s, "actor.account.homePage").toString(),
                 QStringLiteral("https://centre.example.org/"));
        QVERIFY(QDateTime::fromString(s.value(QStringLiteral("timestamp")).toString(),
                                      Qt::ISODateWithMs)
                    .isValid());
    }
    QCOMPARE(ids.size(), 6);

    // In draw order; each question's statement found by its ID.
    const auto of = [&](qint64 id) { return told[size_t(exam.positionOf(id) - 1)]; };
    const QJsonObject fourth = of(4);
    QCOMPARE(at(fourth, "verb.id").toString(),
             QStringLiteral("http://adlnet.gov/expapi/verbs/answered"));
    QCOMPARE(at(fourth, "object.id").toString(),
             QStringLiteral("urn:praxilo:bank:korvane-practice-exam:exam:2:question:4"));
    QCOMPARE(at(fourth, "object.definition.name.en-US").toString(), odd.question);
    QCOMPARE(at(fourth, "object.definition.correctResponsesPattern").toArray(),
             QJsonArray{QStringLiteral("A[,]C")});
    QCOMPARE(at(fourth, "object.definition.choices").toArray().size(), 3);
    QCOMPARE(at(fourth, "object.definition.choices.2.id").toString(), QStringLiteral("C"));
    QCOMPARE(at(fourth, "result.response").toString(), QStringLiteral("A[,]C"));
    QCOMPARE(at(fourth, "result.success").toBool(), true);
    QCOMPARE(at(fourth, "result.duration").toString(), QStringLiteral("PT7S"));
    QCOMPARE(at(fourth, "context.contextActivities.parent.0.id").toString(),
             QStringLiteral("urn:praxilo:bank:korvane-practice-exam:exam:2"));
    QCOMPARE(at(of(1), "result.response").toString(), QStringLiteral("A"));
    QCOMPARE(at(of(1), "result.success").toBool(), false);
    QCOMPARE(at(of(2), "result.success").toBool(), true);
    QCOMPARE(at(of(3), "result.response").toString(), QString());
    QCOMPARE(at(of(3), "result.success").toBool(), false);

    const QJsonObject verdict = told.back();
    QCOMPARE(at(verdict, "verb.id").toString(),
             QStringLiteral("http://adlnet.gov/expapi/verbs/failed"));
    QCOMPARE(at(verdict, "object.definition.type").toString(),
             QStringLiteral("http://adlnet.gov/expapi/activities/assessment"));
    QCOMPARE(at(verdict, "result.score.raw").toInt(), report.score);
    QCOMPARE(at(verdict, "result.score.scaled").toDouble(), report.score / 1000.0);
    QCOMPARE(at(verdict, "result.success").toBool(), false);
    QCOMPARE(at(verdict, "result.completion").toBool(), true);
    QCOMPARE(at(verdict, "result.duration").toString(), QStringLiteral("PT35S"));
    const QJsonArray categories =
        at(verdict, QStringLiteral("result.extensions.") + xapi::kCategoriesExtension).toArray();
    QCOMPARE(categories.size(), 2);
    QCOMPARE(at(categories[1].toObject(), "total").toInt(), report.categories[1].total);
    QCOMPARE(at(categories[1].toObject(), "correct").toInt(), report.categories[1].correct);

    // A practice run ends with "completed" alone, with no verdict; its answers went at Check.
    facts.kind = xapi::AttemptFacts::Kind::Practice;
    const std::vector<QJsonObject> practice = parsed(xapi::examStatements(facts, report));
    QCOMPARE(practice.size(), size_t(1));
    QCOMPARE(at(practice[0], "verb.id").toString(),
             QStringLiteral("http://adlnet.gov/expapi/verbs/completed"));
    QVERIFY(!at(practice[0], "result").toObject().contains(QStringLiteral("success")));
    QCOMPARE(at(practice[0], "object.id").toString(),
             QStringLiteral("urn:praxilo:bank:korvane-practice-exam:exam:2:practice"));
}

void TestStatements::endpointsThatMayCarryResults_data() {
    QTest::addColumn<QString>("endpoint");
    QTest::addColumn<QString>("refusal");  // a word the refusal holds; empty: accepted
    QTest::newRow("https anywhere") << "https://lrs.example.org/xAPI/"
                                    << "";
    QTest::newRow("http on 127.0.0.1") << "http://127.0.0.1:8080/xAPI"
                                       << "";
    QTest::newRow("http on localhost") << "http://localhost/xAPI/"
                                       << "";
    QTest::newRow("http on ::1") << "http://[::1]:9000/xAPI/"
                                 << "";
    QTest::newRow("http across a network") << "http://lrs.example.org/xAPI/"
                                           << "not encrypted";
    QTest::newRow("http on a LAN address") << "http://10.0.0.5/xAPI/"
                                           << "not encrypted";
    QTest::newRow("not an address") << "lrs example org"
                                    << "not an http";
    QTest::newRow("another scheme") << "ftp://lrs.example.org/"
                                    << "not an http";
    QTest::newRow("no host") << "https:///xAPI/"
                             << "not an http";
}

void TestStatements::endpointsThatMayCarryResults() {
    QFETCH(QString, endpoint);
    QFETCH(QString, refusal);
    xapi::LrsSettings settings;
    settings.endpoint = endpoint;
    settings.password = QStringLiteral("s3cret");
    const QString said = xapi::endpointRefusal(settings);
    QVERIFY2(refusal.isEmpty() ? said.isEmpty() : said.contains(refusal), qPrintable(said));
    QVERIFY(!said.contains(settings.password));
    if (said.isEmpty()) {
        QVERIFY(xapi::statementsUrl(settings).path().endsWith(u"/xAPI/statements"));
    }
}

// Written as this program writes them and read back; then read as other stores write them.
// -1: no duration.
void TestStatements::durations_data() {
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("iso");
    QTest::addColumn<bool>("written");
    QTest::newRow("none") << 0 << "PT0S" << true;
    QTest::newRow("seconds") << 59 << "PT59S" << true;
    QTest::newRow("a minute") << 60 << "PT1M" << true;
    QTest::newRow("all three") << 3661 << "PT1H1M1S" << true;
    QTest::newRow("beyond a day") << 9 * 3600 + 1 << "PT9H1S" << true;
    QTest::newRow("fractions") << 65 << "PT1M5.75S" << false;
    QTest::newRow("days and weeks") << 8 * 86400 + 7200 << "P1W1DT2H" << false;
    QTest::newRow("months have no length") << -1 << "P1M" << false;
    QTest::newRow("an empty time part") << -1 << "P1DT" << false;
    QTest::newRow("no parts") << -1 << "PT" << false;
    QTest::newRow("not a duration") << -1 << "12 seconds" << false;
    QTest::newRow("beyond counting") << -1 << "PT99999999999999999999S" << false;
}

void TestStatements::durations() {
    QFETCH(int, seconds);
    QFETCH(QString, iso);
    QFETCH(bool, written);
    if (written) {
        QCOMPARE(xapi::isoDuration(seconds), iso);
    }
    QCOMPARE(xapi::durationSeconds(iso), seconds < 0 ? std::nullopt : std::optional<int>(seconds));
}

// An attempt and its statements go into the history file together, and an attempt told twice
// queues nothing twice.
void TestStatements::queuedWithTheAttemptOrNotAtAll() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    history::HistoryStore store(path);
    history::AttemptRecord attempt;
    attempt.key = QStringLiteral("k1");
    attempt.edition = QStringLiteral("full");
    attempt.exam = 1;
    attempt.candidate = QStringLiteral("Ann");
    attempt.ended = QDateTime::currentDateTime();
    attempt.started = attempt.ended.addSecs(-60);
    const xapi::AttemptFacts facts{QStringLiteral("https://c.example/"), QStringLiteral("Ann"),
                                   QStringLiteral("k1"), QStringLiteral("Bank"), 1};
    session::ScoreReport report;
    report.drawn.resize(3);
    const std::vector<xapi::Statement> statements = xapi::examStatements(facts, report);
    const auto queue = [&](sqlite3* db) { xapi::outbox::queue(db, statements); };

    store.record(attempt, queue);
    store.record(attempt, queue);
    xapi::Outbox outbox(path);
    QCOMPARE(outbox.counts().waiting, 4);
    const std::vector<xapi::QueuedStatement> oldest = outbox.oldest(10, 1 << 20);
    QCOMPARE(oldest.front().id, statements.front().id);
    QCOMPARE(oldest.back().body, statements.back().json);

    // A statement that cannot be stored undoes its attempt too.
    attempt.key = QStringLiteral("k2");
    const std::vector<xapi::Statement> twice{statements[0], statements[0]};
    const auto queueTwice = [&](sqlite3* db) { xapi::outbox::queue(db, twice); };
    QVERIFY_THROWS_EXCEPTION(examdb::Error, store.record(attempt, queueTwice));
    QCOMPARE(store.attempts().size(), size_t(1));
    QCOMPARE(outbox.counts().waiting, 4);
}

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
