// Statements delivered to a real record store on loopback, and everything that goes wrong on
// the way: a store that is down, one that refuses the credentials, one that rejects a statement,
// one that never answers, and a program killed between sending and hearing back.
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include "history/history_store.h"
#include "local_lrs.h"
#include "xapi/exam_statements.h"
#include "xapi/outbox.h"
#include "xapi/sender.h"

namespace {

constexpr int kQuestions = 116;

// One ended exam of 116 questions, every third one wrong, told by candidate.
std::vector<xapi::Statement> examTold(const QString& candidate, const QString& registration) {
    session::ScoreReport report;
    report.bank = QStringLiteral("Korvane Practice Exam");
    report.exam = 1;
    report.questions = kQuestions;
    report.categories = {{0, QStringLiteral("Hardware"), 58, 0, 0},
                         {1, QStringLiteral("Networking"), 58, 0, 0}};
    for (int p = 1; p <= kQuestions; ++p) {
        session::QuestionScore q;
        q.position = p;
        q.id = 1000 + p;
        q.question = QStringLiteral("Question %1: which one?").arg(p);
        q.choices = {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three"),
                     QStringLiteral("four"), QString()};
        q.key[size_t(p % 4)] = true;
        q.correct = p % 3 != 0;
        q.chosen[size_t(q.correct ? p % 4 : (p + 1) % 4)] = p % 7 != 0;
        q.seconds = p % 90;
        report.correct += q.correct ? 1 : 0;
        report.categories[size_t(p % 2)].correct += q.correct ? 1 : 0;
        report.drawn.push_back(q);
    }
    report.score = report.correct * 1000 / kQuestions;
    report.passed = report.score >= 750;
    const xapi::AttemptFacts facts{QStringLiteral("https://centre.example.org/"),
                                   candidate,
                                   registration,
                                   report.bank,
                                   1,
                                   xapi::AttemptFacts::Kind::Fixed,
                                   5400};
    return xapi::examStatements(facts, report);
}

QString newRegistration() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QJsonArray ofRegistration(const LocalLrs& lrs, const QString& registration) {
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("registration"), registration);
    return lrs.statements(query);
}

// The history file a program leaves with an exam's statements queued.
class QueuedHistory {
public:
    QueuedHistory() { history::HistoryStore create(path()); }
    QString path() const { return dir_.filePath(QStringLiteral("history.sqlite")); }
    void queue(const std::vector<xapi::Statement>& statements) const {
        history::HistoryStore(path()).change(
            [&](sqlite3* db) { xapi::outbox::queue(db, statements); });
    }
    xapi::OutboxCounts counts() const { return xapi::Outbox(path()).counts(); }

private:
    QTemporaryDir dir_;
};

xapi::LrsSettings at(const QString& endpoint, const QString& password = QStringLiteral("pw")) {
    return {endpoint, QStringLiteral("seat"), password, QStringLiteral("https://c.example/")};
}

// Brief pauses: a test waits seconds where a seat waits minutes.
void quick(xapi::Sender& sender) {
    sender.setTiming({200, 1000, 5000});
}

bool drains(xapi::Sender& sender, int ms = 20000) {
    QSignalSpy drained(&sender, &xapi::Sender::drained);
    sender.nudge();
    return drained.wait(ms);
}

#define START(lrs)                                \
    do {                                          \
        const QString why = (lrs).start();        \
        QVERIFY2(why.isEmpty(), qPrintable(why)); \
    } while (false)

}  // namespace

class TestDelivery : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void anExamArrivesOnceEvenWhenSentAgain();
    void storeDownThenBack();
    void wrongCredentialsStopSending();
    void aRejectedStatementIsSetAside();
    void aStoreThatNeverAnswersKeepsNobodyWaiting();
    void oddNamesArriveAsTyped_data();
    void oddNamesArriveAsTyped();

private:
    // One store for the tests that need no store of their own.
    std::unique_ptr<LocalLrs> shared_;
};

void TestDelivery::initTestCase() {
    shared_ = std::make_unique<LocalLrs>();
    START(*shared_);
}

// Everything arrives; a batch sent again, as after a program killed before it heard back, is
// kept once by the store, because each statement keeps the ID it was queued with.
void TestDelivery::anExamArrivesOnceEvenWhenSentAgain() {
    LocalLrs& lrs = *shared_;
    QueuedHistory history;
    const QString registration = newRegistration();
    const std::vector<xapi::Statement> told = examTold(QStringLiteral("Ann"), registration);
    history.queue(told);

    xapi::Sender sender(at(lrs.endpoint()), history.path());
    quick(sender);
    QVERIFY(drains(sender));
    QCOMPARE(history.counts().waiting, 0);
    QCOMPARE(sender.statusLine(), QStringLiteral("Results: all sent to 127.0.0.1"));
    QJsonArray stored = ofRegistration(lrs, registration);
    QCOMPARE(stored.size(), kQuestions + 1);

    history.queue(told);  // what a kill between the store's answer and the outbox's delete left
    QVERIFY(drains(sender));
    stored = ofRegistration(lrs, registration);
    QCOMPARE(stored.size(), kQuestions + 1);
    int answered = 0;
    QJsonObject verdict;
    for (const QJsonValue& s : stored) {
        const QString verb = s[QStringLiteral("verb")][QStringLiteral("id")].toString();
        if (verb.endsWith(u"/answered")) {
            ++answered;
        } else {
            verdict = s.toObject();
        }
    }
    QCOMPARE(answered, kQuestions);
    // What the store gives back is the statement queued, word for word, as the store adds to it.
    const QJsonObject queued = QJsonDocument::fromJson(told.back().json).object();
    for (const QString& part : queued.keys()) {
        QCOMPARE(verdict[part], queued[part]);
    }
}

void TestDelivery::storeDownThenBack() {
    LocalLrs lrs;
    QueuedHistory history;
    const QString registration = newRegistration();
    history.queue(examTold(QStringLiteral("Bo"), registration));
    xapi::Sender sender(at(lrs.endpoint()), history.path());
    quick(sender);
    QSignalSpy changed(&sender, &xapi::Sender::changed);
    sender.nudge();
    QTRY_COMPARE_WITH_TIMEOUT(sender.state(), xapi::Sender::State::Unreachable, 10000);
    QCOMPARE(
        sender.statusLine(),
        QStringLiteral("Results: 117 waiting to be sent (the record store cannot be reached)"));
    // Tried again at growing pauses, never in a tight loop.
    QTest::qWait(1500);
    QVERIFY2(changed.size() < 10, qPrintable(QString::number(changed.size())));

    START(lrs);
    QSignalSpy drained(&sender, &xapi::Sender::drained);
    QVERIFY(drained.wait(15000));
    QCOMPARE(ofRegistration(lrs, registration).size(), kQuestions + 1);
    QCOMPARE(history.counts().waiting, 0);
}

void TestDelivery::wrongCredentialsStopSending() {
    LocalLrs lrs({QStringLiteral("seat-key"), QStringLiteral("right secret")});
    START(lrs);
    QueuedHistory history;
    const QString registration = newRegistration();
    history.queue(examTold(QStringLiteral("Cy"), registration));

    xapi::Sender wrong(at(lrs.endpoint(), QStringLiteral("wrong secret")), history.path());
    quick(wrong);
    QSignalSpy refused(&wrong, &xapi::Sender::credentialsRefused);
    wrong.nudge();
    QVERIFY(refused.wait(10000));
    const QString message = refused.first().first().toString();
    QVERIFY2(message.contains(lrs.endpoint()) && !message.contains(u"wrong secret"),
             qPrintable(message));
    wrong.nudge();
    QTest::qWait(500);
    QCOMPARE(refused.size(), 1);
    QCOMPARE(history.counts().waiting, kQuestions + 1);
    QVERIFY(wrong.statusLine().contains(u"refused the user name and password"));

    xapi::LrsSettings right = at(lrs.endpoint(), QStringLiteral("right secret"));
    right.username = QStringLiteral("seat-key");
    xapi::Sender sender(right, history.path());
    quick(sender);
    QVERIFY(drains(sender));
    QCOMPARE(ofRegistration(lrs, registration).size(), kQuestions + 1);
}

// The store rejects a whole batch for one bad statement: the others still arrive, the bad one is
// set aside with the store's reason and counted, and nothing is sent round and round.
void TestDelivery::aRejectedStatementIsSetAside() {
    LocalLrs& lrs = *shared_;
    QueuedHistory history;
    const QString registration = newRegistration();
    std::vector<xapi::Statement> told = examTold(QStringLiteral("Di"), registration);
    QJsonObject bad = QJsonDocument::fromJson(told[40].json).object();
    QJsonObject result = bad[QStringLiteral("result")].toObject();
    result[QStringLiteral("duration")] = QStringLiteral("forty seconds");
    bad[QStringLiteral("result")] = result;
    told[40].json = QJsonDocument(bad).toJson(QJsonDocument::Compact);
    history.queue(told);

    xapi::Sender sender(at(lrs.endpoint()), history.path());
    quick(sender);
    QVERIFY(drains(sender));
    QCOMPARE(ofRegistration(lrs, registration).size(), kQuestions);
    QCOMPARE(history.counts().waiting, 0);
    QCOMPARE(history.counts().rejected, 1);
    QCOMPARE(sender.statusLine(), QStringLiteral("Results: 1 rejected by the record store"));
    sqlite3* raw = nullptr;
    sqlite3_open(QFile::encodeName(history.path()).constData(), &raw);
    const examdb::ConnectionHandle db(raw);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db.get(), "SELECT statement_id, rejected FROM xapi_outbox", -1, &s, nullptr);
    QCOMPARE(sqlite3_step(s), SQLITE_ROW);
    const QString id = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    const QString why = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
    sqlite3_finalize(s);
    QCOMPARE(id, told[40].id);
    QVERIFY2(why.startsWith(u"HTTP 400") && why.contains(u"duration"), qPrintable(why));
}

// A store that takes the connection and never answers: the request waits on the event loop, and
// the sender goes at once when the program ends, leaving its statements queued.
void TestDelivery::aStoreThatNeverAnswersKeepsNobodyWaiting() {
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
    QList<QTcpSocket*> held;
    connect(&silent, &QTcpServer::newConnection, this,
            [&] { held << silent.nextPendingConnection(); });
    QueuedHistory history;
    history.queue(examTold(QStringLiteral("Ed"), newRegistration()));
    auto sender = std::make_unique<xapi::Sender>(
        at(QStringLiteral("http://127.0.0.1:%1/xAPI/").arg(silent.serverPort())), history.path());
    sender->setTiming({200, 1000, 60000});
    sender->nudge();
    QTRY_VERIFY(!held.isEmpty());
    QTest::qWait(300);
    QCOMPARE(sender->state(), xapi::Sender::State::Sending);
    QElapsedTimer ending;
    ending.start();
    sender.reset();
    QVERIFY2(ending.elapsed() < 500, qPrintable(QString::number(ending.elapsed())));
    QCOMPARE(history.counts().waiting, kQuestions + 1);
}

void TestDelivery::oddNamesArriveAsTyped_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("quotes and markup")
        << QStringLiteral("O'Brien \"Bob\" <script>alert(1)</script> & co");
    QTest::newRow("non-ASCII") << QStringLiteral("Zoë Ångström 王小明");
    QTest::newRow("10,000 characters") << QString(10000, u'x');
}

void TestDelivery::oddNamesArriveAsTyped() {
    QFETCH(QString, name);
    LocalLrs& lrs = *shared_;
    QueuedHistory history;
    const QString registration = newRegistration();
    history.queue(examTold(name, registration));
    xapi::Sender sender(at(lrs.endpoint()), history.path());
    quick(sender);
    QVERIFY(drains(sender));
    const QJsonArray stored = ofRegistration(lrs, registration);
    QCOMPARE(stored.size(), kQuestions + 1);
    QCOMPARE(stored[0][QStringLiteral("actor")][QStringLiteral("account")][QStringLiteral("name")]
                 .toString(),
             name);
    QCOMPARE(history.counts().rejected, 0);
}

QTEST_GUILESS_MAIN(TestDelivery)
#include "tst_delivery.moc"
