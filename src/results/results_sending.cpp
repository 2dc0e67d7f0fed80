#include "results/results_sending.h"

#include <QCoreApplication>
#include <QPointer>

#include "app/exam_settings.h"
#include "app/prompts.h"
#include "history/history_access.h"
#include "look/preferences.h"
#include "results/review_cards.h"
#include "session/exam_session.h"
#include "xapi/exam_statements.h"
#include "xapi/outbox.h"
#include "xapi/sender.h"

namespace results {
namespace {

struct Sending {
    bool started = false;
    QPointer<xapi::Sender> sender;
};

Sending& sending() {
    static Sending state;
    return state;
}

QString preferenceText(const char* key) {
    return look::preference(QString::fromLatin1(key)).toString().trimmed();
}

xapi::AttemptFacts factsOf(const session::ExamSession& exam, const QString& bank) {
    xapi::AttemptFacts facts;
    facts.homePage = lrsSettings().homepage;
    facts.candidate = exam.candidate().isNull() ? ExamSettings.CandidateName : exam.candidate();
    facts.registration = exam.attemptKey();
    facts.bank = bank;
    facts.exam = exam.exam();
    facts.kind = exam.practice() ? xapi::AttemptFacts::Kind::Practice
                 : exam.custom() ? xapi::AttemptFacts::Kind::Custom
                                 : xapi::AttemptFacts::Kind::Fixed;
    facts.secondsUsed = exam.clock().secondsUsed;
    return facts;
}

}  // namespace

xapi::LrsSettings lrsSettings() {
    xapi::LrsSettings settings;
    settings.endpoint = preferenceText("xapi/endpoint");
    settings.username = look::preference(QStringLiteral("xapi/username")).toString();
    settings.password = look::preference(QStringLiteral("xapi/password")).toString();
    settings.homepage = preferenceText("xapi/homepage");
    if (settings.homepage.isEmpty() && settings.configured()) {
        const QUrl endpoint(settings.endpoint);
        settings.homepage = endpoint.scheme() + QStringLiteral("://") + endpoint.host() + u'/';
    }
    return settings;
}

xapi::Sender* resultsSender() {
    Sending& s = sending();
    if (!s.sender && !s.started) {
        s.started = true;
        const xapi::LrsSettings settings = lrsSettings();
        if (!settings.configured() || !xapi::endpointRefusal(settings).isEmpty()) {
            return nullptr;
        }
        s.sender = new xapi::Sender(settings, history::location(), QCoreApplication::instance());
        // Told once the network's handler has returned, not from inside it.
        QObject::connect(
            s.sender, &xapi::Sender::credentialsRefused, s.sender,
            [](const QString& message) {
                prompts::MsgBox(message, prompts::Buttons::OkOnly, prompts::Icon::Exclamation);
            },
            Qt::QueuedConnection);
        // The request in flight is dropped at once when the program ends; its statements stay.
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, s.sender,
                         &QObject::deleteLater);
    }
    return s.sender;
}

void startSendingResults() {
    const xapi::LrsSettings settings = lrsSettings();
    if (!settings.configured()) {
        return;
    }
    if (const QString refusal = xapi::endpointRefusal(settings); !refusal.isEmpty()) {
        prompts::MsgBox(QStringLiteral("Results are not sent to the training centre's record "
                                       "store: %1. They stay in this PC's progress history.")
                            .arg(refusal),
                        prompts::Buttons::OkOnly, prompts::Icon::Exclamation);
        return;
    }
    if (xapi::Sender* sender = resultsSender()) {
        sender->nudge();
    }
}

void stopSendingResults() {
    Sending& s = sending();
    delete s.sender;
    s = Sending{};
}

std::vector<xapi::Statement> statementsFor(const session::ScoreReport& report) {
    if (!resultsSender()) {
        return {};
    }
    return xapi::examStatements(factsOf(session::active(), report.bank), report);
}

void queueCheckedAnswers(session::ExamSession& session) {
    QObject::connect(&session, &session::ExamSession::answerChecked, &session,
                     [&session](const session::QuestionScore& scored, const QString& bank) {
                         xapi::Sender* sender = resultsSender();
                         std::vector<xapi::Statement> one;
                         if (sender) {
                             one.push_back(xapi::answeredStatement(factsOf(session, bank), scored));
                         }
                         const bool written = history::writeAlongside(
                             [&](sqlite3* db) {
                                 xapi::outbox::queue(db, one);
                                 scheduleCheckedCard(db, session, scored, bank);
                             },
                             QStringLiteral("The answer just checked"));
                         if (written && sender) {
                             sender->nudge();
                         }
                     });
}

QString resultsLine() {
    const xapi::LrsSettings settings = lrsSettings();
    if (!settings.configured()) {
        return QString();
    }
    if (const QString refusal = xapi::endpointRefusal(settings); !refusal.isEmpty()) {
        return QStringLiteral("Results: not sent (%1)").arg(refusal);
    }
    xapi::Sender* sender = resultsSender();
    return sender ? sender->statusLine() : QString();
}

}  // namespace results
