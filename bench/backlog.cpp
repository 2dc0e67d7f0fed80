#include "backlog.h"

#include <QUuid>

#include "history/history_store.h"
#include "local_lrs.h"
#include "xapi/outbox.h"

namespace {

constexpr int kQuestions = 116;
constexpr int kCategories = 19;

}  // namespace

session::ScoreReport scoredReport() {
    session::ScoreReport report;
    report.bank = QStringLiteral("Korvane Practice Exam");
    report.exam = 1;
    report.questions = kQuestions;
    report.passMark = 750;
    for (int c = 0; c < kCategories; ++c) {
        report.categories.push_back(
            {c, QStringLiteral("Category %1 of the exam's subjects").arg(c), 6, 4, 66});
    }
    for (int q = 1; q <= kQuestions; ++q) {
        session::QuestionScore s;
        s.position = q;
        s.id = q * 7;
        s.chosen[size_t(q % 4)] = true;
        s.key[size_t(q % 3)] = true;
        s.correct = s.chosen == s.key;
        // About 250 characters of question and 80 a choice, as in the sample bank.
        s.question = QStringLiteral("Question %1: ").arg(q) + QString(236, u'q');
        for (int c = 0; c < 4; ++c) {
            s.choices[size_t(c)] = QStringLiteral("Choice %1 ").arg(c) + QString(71, u'c');
        }
        s.seconds = 30 + q % 40;
        report.correct += s.correct ? 1 : 0;
        report.drawn.push_back(s);
    }
    report.score = report.correct * 1000 / kQuestions;
    report.passed = report.score >= report.passMark;
    return report;
}

xapi::AttemptFacts attemptFacts() {
    xapi::AttemptFacts facts;
    facts.homePage = QStringLiteral("https://centre.example.org/");
    facts.candidate = QStringLiteral("Ann Bench");
    facts.registration = QUuid::createUuid().toString(QUuid::WithoutBraces);
    facts.bank = QStringLiteral("Korvane Practice Exam");
    facts.exam = 1;
    facts.secondsUsed = 5400;
    return facts;
}

history::AttemptRecord attemptRecord(const session::ScoreReport& report,
                                     const xapi::AttemptFacts& facts) {
    history::AttemptRecord a;
    a.key = facts.registration;
    a.edition = QStringLiteral("full");
    a.exam = report.exam;
    a.candidate = facts.candidate;
    a.ended = QDateTime::currentDateTime();
    a.started = a.ended.addSecs(-facts.secondsUsed);
    a.secondsUsed = facts.secondsUsed;
    a.score = report.score;
    a.passMark = report.passMark;
    a.passed = report.passed;
    for (const session::CategoryScore& c : report.categories) {
        a.categories.push_back({c.category, c.name, c.total, c.correct});
    }
    for (const session::QuestionScore& q : report.drawn) {
        a.questions.push_back({q.position, q.id, q.correct, {}, q.seconds});
    }
    return a;
}

std::vector<QString> queueBacklog(history::HistoryStore& history, int count) {
    const session::ScoreReport report = scoredReport();
    std::vector<xapi::Statement> statements;
    std::vector<QString> registrations;
    while (int(statements.size()) < count) {
        const xapi::AttemptFacts facts = attemptFacts();
        registrations.push_back(facts.registration);
        for (xapi::Statement& s : xapi::examStatements(facts, report)) {
            statements.push_back(std::move(s));
        }
    }
    statements.resize(size_t(count));
    history.change([&statements](sqlite3* db) { xapi::outbox::queue(db, statements); });
    return registrations;
}

xapi::LrsSettings settingsFor(const LocalLrs& lrs) {
    return {lrs.endpoint(), QStringLiteral("bench"), QStringLiteral("bench"),
            QStringLiteral("https://centre.example.org/")};
}
