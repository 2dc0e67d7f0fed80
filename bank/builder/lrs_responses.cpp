#include "lrs_responses.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSet>
#include <QUrlQuery>
#include <memory>

#include "examdb/error.h"
#include "examdb/sqlite_handles.h"
#include "examdb/statement.h"
#include "source_fields.h"
#include "xapi/statement_parts.h"

namespace bank {
namespace {

// As many as a store will give on one page; it may give fewer, and says where the rest are.
constexpr int kPageSize = 1000;
constexpr int kRequestTimeoutMs = 60000;

// Every answer read from the store, one row per registration and question, on disk: a
// training centre's store may hold millions.
const char* const kSpoolLayout =
    "CREATE TABLE answer (registration TEXT NOT NULL, exam INTEGER NOT NULL, question INTEGER "
    "NOT NULL, correct INTEGER NOT NULL, chosen TEXT NOT NULL, seconds INTEGER, "
    "PRIMARY KEY (registration, question)) WITHOUT ROWID";

// "A[,]C" as "AC"; nothing when the response is not choice letters.
std::optional<QString> lettersOf(const QString& response) {
    if (response.isEmpty()) {
        return QString();
    }
    QString letters;
    for (const QString& part : response.split(QStringLiteral("[,]"))) {
        if (part.size() != 1 || part[0] < u'A' || part[0] > u'E' || letters.contains(part)) {
            return std::nullopt;
        }
        letters += part;
    }
    std::sort(letters.begin(), letters.end());
    return letters;
}

class StoreReader {
public:
    StoreReader(xapi::LrsSettings store, QString bankName, int exams)
        : store_(std::move(store)), bankName_(std::move(bankName)), exams_(exams) {}

    SourceReading read(const TakeAttempt& take) {
        if (!spool_) {
            fill();
        }
        SourceReading reading = fillReading_;
        try {
            examdb::Statement rows(spool_.get(),
                                   QStringLiteral("SELECT registration, exam, question, correct, "
                                                  "chosen, seconds FROM answer ORDER BY "
                                                  "registration"),
                                   name());
            SourcedAttempt attempt;
            const auto handOn = [&] {
                if (!attempt.answers.empty()) {
                    take(attempt);
                    ++reading.attempts;
                }
            };
            while (rows.step()) {
                const QString registration = rows.value(0).toString();
                if (registration != attempt.identity) {
                    handOn();
                    attempt = SourcedAttempt{registration, int(rows.integer(1)), {}};
                }
                SourcedAnswer answer{rows.integer(2), rows.integer(3) != 0,
                                     choiceLetters(reinterpret_cast<const char*>(
                                         sqlite3_column_text(rows.handle(), 4))),
                                     std::nullopt};
                if (sqlite3_column_type(rows.handle(), 5) != SQLITE_NULL) {
                    answer.seconds = int(rows.integer(5));
                }
                attempt.answers.push_back(std::move(answer));
            }
            handOn();
        } catch (const examdb::Error& e) {
            throw SourceError(name(), 0, e.text);
        }
        return reading;
    }

    QString name() const { return store_.endpoint.trimmed(); }

private:
    void fail(const QString& why) const { throw SourceError(name(), 0, why); }

    void fill() {
        if (const QString why = xapi::endpointRefusal(store_); !why.isEmpty()) {
            fail(QStringLiteral("is not read: ") + why);
        }
        sqlite3* raw = nullptr;
        // An empty name: a private file SQLite removes when it is closed.
        const int rc =
            sqlite3_open_v2("", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        examdb::ConnectionHandle spool(raw);
        if (rc != SQLITE_OK ||
            sqlite3_exec(raw, kSpoolLayout, nullptr, nullptr, nullptr) != SQLITE_OK ||
            sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) {
            fail(QStringLiteral("cannot be read: no temporary file for its answers: ") +
                 QString::fromUtf8(sqlite3_errmsg(raw)));
        }
        try {
            examdb::Statement insert(spool.get(),
                                     QStringLiteral("INSERT OR IGNORE INTO answer VALUES (?1, ?2, "
                                                    "?3, ?4, ?5, ?6)"),
                                     name());
            for (int exam = 1; exam <= exams_; ++exam) {
                readExam(exam, insert);
            }
        } catch (const examdb::Error& e) {
            fail(QStringLiteral("cannot be read: ") + e.text);
        }
        sqlite3_exec(spool.get(), "COMMIT", nullptr, nullptr, nullptr);
        spool_ = std::move(spool);
    }

    // Every page of the exam's answers; a page's "more" leads on until it is empty.
    void readExam(int exam, examdb::Statement& insert) {
        const QString examIri = xapi::examIri(bankName_, exam);
        QUrl url = xapi::statementsUrl(store_);
        QUrlQuery query;
        query.addQueryItem(QStringLiteral("verb"),
                           QStringLiteral("http://adlnet.gov/expapi/verbs/answered"));
        query.addQueryItem(QStringLiteral("activity"), examIri);
        query.addQueryItem(QStringLiteral("related_activities"), QStringLiteral("true"));
        query.addQueryItem(QStringLiteral("limit"), QString::number(kPageSize));
        url.setQuery(query);
        QSet<QUrl> visited;
        while (!url.isEmpty()) {
            if (visited.contains(url)) {
                fail(QStringLiteral("leads its pages round in a circle"));
            }
            visited.insert(url);
            const QJsonObject page = get(url);
            for (const QJsonValue s : page.value(QStringLiteral("statements")).toArray()) {
                keep(s.toObject(), exam, examIri, insert);
            }
            const QString more = page.value(QStringLiteral("more")).toString();
            url = more.isEmpty() ? QUrl() : nextPage(url, more);
        }
    }

    // The credentials go only where the endpoint is.
    QUrl nextPage(const QUrl& current, const QString& more) const {
        const QUrl next = current.resolved(QUrl(more));
        if (next.scheme() != current.scheme() || next.host() != current.host() ||
            next.port() != current.port()) {
            fail(QStringLiteral("sends its next page to another address (%1)")
                     .arg(next.toString(QUrl::RemoveUserInfo | QUrl::RemoveQuery)));
        }
        return next;
    }

    QJsonObject get(const QUrl& url) {
        QNetworkRequest request(url);
        request.setRawHeader("X-Experience-API-Version", "1.0.3");
        request.setRawHeader(
            "Authorization",
            "Basic " + (store_.username + u':' + store_.password).toUtf8().toBase64());
        request.setTransferTimeout(kRequestTimeoutMs);
        std::unique_ptr<QNetworkReply> reply(network_.get(request));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status == 401 || status == 403) {
            fail(QStringLiteral("refused the user name and password (HTTP %1)").arg(status));
        }
        if (reply->error() != QNetworkReply::NoError || status != 200) {
            fail(QStringLiteral("could not be read: %1")
                     .arg(status > 0 ? QStringLiteral("HTTP %1").arg(status)
                                     : reply->errorString()));
        }
        QJsonParseError error{};
        const QJsonDocument page = QJsonDocument::fromJson(reply->readAll(), &error);
        if (error.error != QJsonParseError::NoError || !page.isObject() ||
            !page.object().value(QStringLiteral("statements")).isArray()) {
            fail(QStringLiteral("answered with something other than a page of statements"));
        }
        return page.object();
    }

    void leaveOut(const char* why) { ++fillReading_.leftOut[QString::fromLatin1(why)]; }

    void keep(const QJsonObject& s, int exam, const QString& examIri, examdb::Statement& insert) {
        const QString prefix = examIri + QStringLiteral(":question:");
        const QString object =
            s.value(QStringLiteral("object")).toObject().value(QStringLiteral("id")).toString();
        bool numbered = false;
        const qint64 question =
            object.startsWith(prefix) ? object.mid(prefix.size()).toLongLong(&numbered) : 0;
        const QJsonObject context = s.value(QStringLiteral("context")).toObject();
        const QString registration = context.value(QStringLiteral("registration")).toString();
        bool ofTheExam = false;
        const QJsonArray parents = context.value(QStringLiteral("contextActivities"))
                                       .toObject()
                                       .value(QStringLiteral("parent"))
                                       .toArray();
        for (const QJsonValue parent : parents) {
            ofTheExam =
                ofTheExam || parent.toObject().value(QStringLiteral("id")).toString() == examIri;
        }
        if (!numbered || !ofTheExam) {
            leaveOut("statement(s) that are no answer to a question of the exam as set");
            return;
        }
        if (registration.isEmpty()) {
            leaveOut("statement(s) without a registration to tell the attempt");
            return;
        }
        const QJsonObject result = s.value(QStringLiteral("result")).toObject();
        const QJsonValue response = result.value(QStringLiteral("response"));
        const QJsonValue success = result.value(QStringLiteral("success"));
        if (!response.isString() || !success.isBool()) {
            leaveOut("statement(s) without a response or its verdict");
            return;
        }
        const std::optional<QString> chosen = lettersOf(response.toString());
        if (!chosen) {
            leaveOut("statement(s) whose response is no choice letters");
            return;
        }
        insert.reset();
        insert.bind(1, QVariant(registration));
        insert.bind(2, qint64(exam));
        insert.bind(3, question);
        insert.bind(4, qint64(success.toBool() ? 1 : 0));
        insert.bind(5, QVariant(*chosen));
        const std::optional<int> seconds =
            xapi::durationSeconds(result.value(QStringLiteral("duration")).toString());
        insert.bind(6, seconds ? QVariant(qint64(*seconds)) : QVariant());
        insert.step();
        if (sqlite3_changes(sqlite3_db_handle(insert.handle())) == 0) {
            leaveOut("statement(s) answering a question their attempt answered before");
        }
    }

    xapi::LrsSettings store_;
    QString bankName_;
    int exams_;
    QNetworkAccessManager network_;
    examdb::ConnectionHandle spool_;
    SourceReading fillReading_;
};

}  // namespace

ResponseSource lrsSource(const xapi::LrsSettings& store, const QString& bankName, int exams) {
    auto reader = std::make_shared<StoreReader>(store, bankName, exams);
    return {reader->name(), [reader](const TakeAttempt& take) { return reader->read(take); }};
}

}  // namespace bank
