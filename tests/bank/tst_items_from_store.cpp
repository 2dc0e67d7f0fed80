// The item analysis read from a real record store on loopback: the statements the program
// sends give the same figures as the history that holds the same attempts.
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QUuid>
#include <QtTest>
#include <random>

#include "history/history_store.h"
#include "history_responses.h"
#include "items_report.h"
#include "local_lrs.h"
#include "lrs_responses.h"
#include "session/score_report.h"
#include "source_fields.h"
#include "xapi/exam_statements.h"
#include "xapi/outbox.h"
#include "xapi/sender.h"
#include "xapi/statement_parts.h"

namespace {

const QString kBank = QStringLiteral("Store Test Bank");
constexpr int kQuestions = 20;

bank::FairExam examOfTwentyQuestions() {
    bank::FairExam exam{QStringLiteral("exam1"), {}};
    for (int id = 1; id <= kQuestions; ++id) {
        QList<bool> key(5, false);
        key[id % 4] = true;
        exam.questions << bank::FairQuestion{
            id, QStringLiteral("Question %1?").arg(id), QString(), {"w", "x", "y", "z", ""}, key};
    }
    return exam;
}

// A candidate of the given ability answers every question of exam 1, as the session scores it.
session::ScoreReport simulatedExam(const bank::FairExam& exam, double ability, std::mt19937& random,
                                   bool blank) {
    std::uniform_real_distribution<double> chance;
    session::ScoreReport report;
    report.attempt = QUuid::createUuid().toString(QUuid::WithoutBraces);
    report.bank = kBank;
    report.exam = 1;
    report.questions = kQuestions;
    report.passMark = 750;
    for (const bank::FairQuestion& q : exam.questions) {
        session::QuestionScore s;
        s.position = int(q.id);
        s.id = q.id;
        const int key = int(q.id % 4);
        s.key[size_t(key)] = true;
        const double difficulty = -1 + 2.0 * double(q.id % 5) / 4;
        if (!blank) {
            const bool knows = chance(random) < 1 / (1 + std::exp(-1.7 * (ability - difficulty)));
            s.chosen[size_t(knows ? key : (key + 1 + int(chance(random) * 3)) % 4)] = true;
        }
        s.correct = s.chosen == s.key;
        s.question = q.stem;
        for (int c = 0; c < 4; ++c) {
            s.choices[size_t(c)] = q.answers[c];
        }
        s.seconds = 20 + int(chance(random) * 60);
        report.correct += s.correct ? 1 : 0;
        report.drawn.push_back(s);
    }
    report.score = report.correct * 1000 / kQuestions;
    report.passed = report.score >= report.passMark;
    return report;
}

history::AttemptRecord recordOf(const session::ScoreReport& report, const QString& custom) {
    history::AttemptRecord a;
    a.key = report.attempt;
    a.edition = QStringLiteral("full");
    a.exam = report.exam;
    a.custom = custom;
    a.candidate = QStringLiteral("Candidate");
    a.ended = QDateTime::currentDateTime();
    a.started = a.ended.addSecs(-1200);
    a.score = report.score;
    a.passMark = report.passMark;
    a.passed = report.passed;
    for (const session::QuestionScore& q : report.drawn) {
        a.questions.push_back({q.position, q.id, q.correct, session::chosenLetters(q), q.seconds});
    }
    return a;
}

xapi::LrsSettings storeAt(const LocalLrs& lrs, const QString& password = QStringLiteral("pw")) {
    return {lrs.endpoint(), QStringLiteral("author"), password,
            QStringLiteral("https://centre.example/")};
}

// Statements posted as another tool, or a broken sender, would: each is read and left out.
void postForeign(const LocalLrs& lrs) {
    const QString exam = xapi::examIri(kBank, 1);
    const auto answered = [&](const QString& object, const QString& result) {
        return QStringLiteral(R"({"actor":{"mbox":"mailto:a@example.org"},"verb":{"id":)"
                              R"("http://adlnet.gov/expapi/verbs/answered"},"object":{"id":"%1"},)"
                              R"("result":%2,"context":{"registration":"%3","contextActivities":)"
                              R"({"parent":[{"id":"%4"}]}}})")
            .arg(object, result, QUuid::createUuid().toString(QUuid::WithoutBraces), exam);
    };
    const QStringList statements{
        answered(exam + QStringLiteral(":intro"), QStringLiteral(R"({"success":true})")),
        answered(xapi::questionIri(kBank, 1, 3), QStringLiteral(R"({"success":true})")),
        answered(xapi::questionIri(kBank, 1, 3),
                 QStringLiteral(R"({"response":"Z","success":false})")),
        answered(xapi::questionIri(kBank, 1, 999),
                 QStringLiteral(R"({"response":"A","success":false})")),
    };
    QNetworkAccessManager network;
    QNetworkRequest request(QUrl(lrs.endpoint() + QStringLiteral("statements")));
    request.setRawHeader("X-Experience-API-Version", "1.0.3");
    request.setRawHeader("Authorization", "Basic " + QByteArray("a:b").toBase64());
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    QNetworkReply* reply = network.post(request, (u'[' + statements.join(u',') + u']').toUtf8());
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QVERIFY(finished.wait(10000));
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
    delete reply;
}

}  // namespace

class TestItemsFromStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storeAndHistoryGiveTheSameFigures();
    void refusesAStoreItCannotRead_data();
    void refusesAStoreItCannotRead();
};

// 90 attempts of 20 questions (1,800 answers: two pages of the store), one custom exam and one
// all-blank attempt, recorded as the program records them and sent by its sender; the foreign
// statements are the store's alone.
void TestItemsFromStore::storeAndHistoryGiveTheSameFigures() {
    LocalLrs lrs;
    const QString why = lrs.start();
    QVERIFY2(why.isEmpty(), qPrintable(why));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    const bank::FairExam exam = examOfTwentyQuestions();
    std::mt19937 random(26);
    std::normal_distribution<double> ability;
    {
        history::HistoryStore history(path);
        for (int a = 0; a < 92; ++a) {
            const session::ScoreReport report =
                simulatedExam(exam, ability(random), random, a == 91);
            xapi::AttemptFacts facts{
                QStringLiteral("https://centre.example/"),
                QStringLiteral("Candidate"),
                report.attempt,
                kBank,
                1,
                a == 90 ? xapi::AttemptFacts::Kind::Custom : xapi::AttemptFacts::Kind::Fixed,
                1200};
            const std::vector<xapi::Statement> statements = xapi::examStatements(facts, report);
            history.record(recordOf(report, a == 90 ? QStringLiteral("custom") : QString()),
                           [&](sqlite3* db) { xapi::outbox::queue(db, statements); });
        }
    }
    LocalLrs::awayFromPagingWrap(60);
    xapi::Sender sender(storeAt(lrs), path);
    QSignalSpy drained(&sender, &xapi::Sender::drained);
    sender.nudge();
    QVERIFY(drained.wait(60000));
    QCOMPARE(sender.counts().waiting, 0);
    postForeign(lrs);

    const bank::ItemsReport fromHistory =
        bank::itemsReport(QStringLiteral("bank.mdb"), {exam},
                          {bank::historySource(path, QStringLiteral("full"))}, {});
    const bank::ItemsReport fromStore = bank::itemsReport(
        QStringLiteral("bank.mdb"), {exam}, {bank::lrsSource(storeAt(lrs), kBank, 1)}, {});
    QVERIFY(fromHistory.lines[1].startsWith(u"Exam #1 (exam1): 90 attempt(s); score mean"));
    QCOMPARE(fromStore.lines.mid(1), fromHistory.lines.mid(1));
    QCOMPARE(fromStore.csv, fromHistory.csv);
    QCOMPARE(fromHistory.skipped,
             (QStringList{"1 attempt(s) of a custom exam or practice run, not the exam as set, "
                          "left out",
                          "1 attempt(s) with every answer blank, left out"}));
    // The custom exam's answers never match the exam's own activity.
    QCOMPARE(fromStore.skipped,
             (QStringList{"1 statement(s) that are no answer to a question of the exam as set, "
                          "left out",
                          "1 statement(s) whose response is no choice letters, left out",
                          "1 statement(s) without a response or its verdict, left out",
                          "1 attempt(s) with every answer blank, left out",
                          "1 answer(s) to questions the bank lacks, left out"}));

    // Both sources together: every attempt is the same attempt, counted once.
    const bank::ItemsReport fromBoth =
        bank::itemsReport(QStringLiteral("bank.mdb"), {exam},
                          {bank::historySource(path, QStringLiteral("full")),
                           bank::lrsSource(storeAt(lrs), kBank, 1)},
                          {});
    QCOMPARE(fromBoth.lines.mid(1), fromHistory.lines.mid(1));
    QVERIFY(fromBoth.skipped.contains(
        QStringLiteral("91 attempt(s) held by more than one source, counted once")));
}

void TestItemsFromStore::refusesAStoreItCannotRead_data() {
    QTest::addColumn<QString>("endpoint");  // STORE: the running store's port; FREE: no one's
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("reason");
    QTest::newRow("wrong password") << "http://127.0.0.1:STORE/xAPI/"
                                    << "wrong-secret"
                                    << "refused the user name and password (HTTP 401)";
    QTest::newRow("not the store's path") << "http://127.0.0.1:STORE/elsewhere/"
                                          << "secret"
                                          << "could not be read: HTTP 404";
    QTest::newRow("nothing listening") << "http://127.0.0.1:FREE/xAPI/"
                                       << "secret"
                                       << "could not be read: Connection refused";
    QTest::newRow("plain http across a network") << "http://lrs.example.org/xAPI/"
                                                 << "secret"
                                                 << "is not encrypted";
}

void TestItemsFromStore::refusesAStoreItCannotRead() {
    QFETCH(QString, endpoint);
    QFETCH(QString, password);
    QFETCH(QString, reason);
    LocalLrs lrs({QStringLiteral("author"), QStringLiteral("secret")});
    const QString why = lrs.start();
    QVERIFY2(why.isEmpty(), qPrintable(why));
    xapi::LrsSettings store = storeAt(lrs, password);
    store.endpoint = QString(endpoint)
                         .replace(QStringLiteral("STORE"), QString::number(lrs.port()))
                         .replace(QStringLiteral("FREE"), QString::number(freeLoopbackPort()));
    try {
        bank::itemsReport(QStringLiteral("bank.mdb"), {examOfTwentyQuestions()},
                          {bank::lrsSource(store, kBank, 1)}, {});
        QFAIL("read");
    } catch (const bank::SourceError& e) {
        QVERIFY2(e.reason.contains(reason), qPrintable(e.reason));
        QVERIFY(!e.message().contains(password));
    }
}

QTEST_GUILESS_MAIN(TestItemsFromStore)
#include "tst_items_from_store.moc"
