#include "exam/resume_offer.h"

#include <QDateTime>
#include <QFile>
#include <limits>
#include <optional>

#include "app/clock_display.h"
#include "app/custom_exam.h"
#include "app/display_text.h"
#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/forms.h"
#include "app/prompts.h"
#include "app/time_limit.h"
#include "app/window_flow.h"
#include "app/window_names.h"
#include "exam/form211.h"
#include "examdb/database.h"
#include "examdb/error.h"
#include "examdb/sqlite_handles.h"
#include "examdb/statements.h"
#include "examdb/transaction.h"
#include "history/history_access.h"
#include "session/exam_session.h"

namespace exam {
namespace {

const QString kTitle = QStringLiteral("Resume Exam");

bool validExam(int exam, bool demo) {
    return demo ? exam == 1 : exam >= 1 && exam <= 3;
}

int countOf(examdb::Database& db, const QString& sql) {
    examdb::Statement count = db.prepare(sql);
    return count.step() ? int(count.integer(0)) : 0;
}

std::optional<session::CustomExam> customOf(const SavedAttempt& saved) {
    return saved.custom.isEmpty() ? std::nullopt : session::decodeCustom(saved.custom);
}

AttemptFacts factsOf(examdb::Database& db, const SavedAttempt& saved) {
    const bool demo = app::edition().demo;
    const std::optional<session::CustomExam> custom = customOf(saved);
    const bool valid =
        saved.stored.exam && *saved.stored.exam == saved.exam && validExam(saved.exam, demo);
    AttemptFacts facts = readFacts(db, valid ? saved.exam : 0,
                                   custom && custom->exam == saved.exam ? &*custom : nullptr);
    facts.demo = demo;
    facts.questionsPerExam = ExamSettings.QuestionsPerExam;
    return facts;
}

int answeredOf(examdb::Database& db, int exam) {
    return countOf(db, QStringLiteral("SELECT count(*) FROM tblRandom INNER JOIN exam%1 ON "
                                      "exam%1.ID = tblRandom.ID WHERE correctanswer1 <> 0 OR "
                                      "correctanswer2 <> 0 OR correctanswer3 <> 0 OR "
                                      "correctanswer4 <> 0 OR correctanswer5 <> 0")
                           .arg(exam));
}

// Most starts find no interrupted exam. A plain read-only look says so without the check that
// opening the bank for use costs; anything it cannot tell goes the full way.
bool mayHoldAttempt(const QString& fileName) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(fileName).constData(), &raw,
                                   SQLITE_OPEN_READONLY, nullptr);
    const examdb::ConnectionHandle db(raw);
    if (rc != SQLITE_OK) {
        return true;
    }
    const auto answer = [&db](const char* sql) -> std::optional<QString> {
        sqlite3_stmt* made = nullptr;
        if (sqlite3_prepare_v2(db.get(), sql, -1, &made, nullptr) != SQLITE_OK) {
            return std::nullopt;
        }
        const examdb::StatementHandle statement(made);
        const int step = sqlite3_step(statement.get());
        if (step == SQLITE_DONE) {
            return QString();
        }
        if (step != SQLITE_ROW) {
            return std::nullopt;
        }
        return QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0)));
    };
    const std::optional<QString> kind =
        answer("SELECT type FROM sqlite_master WHERE name = 'tblAttempt' COLLATE NOCASE LIMIT 1");
    if (!kind || kind->isEmpty()) {
        return !kind.has_value();
    }
    if (*kind != QLatin1String("table")) {
        return true;
    }
    const std::optional<QString> rows = answer("SELECT 1 FROM tblAttempt LIMIT 1");
    return !rows || !rows->isEmpty();
}

// What a new draw would clear: the draw, the exam's answers and the attempt.
void clearAttempt(examdb::Database& db, int exam, bool demo) {
    examdb::Transaction transaction(db);
    db.execute(examdb::statements::d1());
    if (validExam(exam, demo)) {
        db.execute(examdb::statements::s8Marked(exam));
    }
    attempt::forget(db);
    transaction.commit();
}

void refuse(const QString& why) {
    prompts::MsgBox(
        QStringLiteral("The interrupted exam cannot be resumed: %1. It has been cleared.").arg(why),
        prompts::Buttons::OkOnly, prompts::Icon::Exclamation, kTitle);
}

// The exam the candidate said Yes to: its clock still running, or over.
bool takeUp(const SavedAttempt& saved, Marks marks, int totalSeconds) {
    const std::optional<session::CustomExam> custom = customOf(saved);
    if (custom) {
        app::setCustomExam(*custom);
    }
    ExamSettings.ActiveExam = qint16(saved.exam);
    ExamSettings.CandidateName = saved.candidate;
    beginExam();
    const bool untimed = custom && custom->untimed();
    if (!untimed && saved.elapsed >= totalSeconds) {
        ExamSettings.QuestionNo = qint16(saved.position);
        {
            // Its time ran out while the program was away: it ends as it would have.
            examdb::Database db = examdb::Database::open(app::edition().databaseFile);
            session::ExamSession& exam = session::active();
            exam.resume(db, bankExam(), saved, std::move(marks));
            exam.end(db, bankExam(), ExamSettings.QuestionsPerExam, app::edition().passingScore);
        }
        if (!flow::open(win::ScoreSheet)) {
            endExam();
            app::clearCustomExam();
            return false;
        }
        return true;
    }
    forms::get<Form211>().Resume(saved, std::move(marks));
    return true;
}

}  // namespace

QString resumeProblem(const SavedAttempt& saved, const AttemptFacts& facts) {
    const SavedAttempt::Stored& stored = saved.stored;
    if (saved.rows != 1) {
        return QStringLiteral("%1 exams are saved as interrupted, where one at most can be")
            .arg(saved.rows);
    }
    if (!stored.exam || !stored.questions || !stored.elapsed || !stored.position) {
        return QStringLiteral("a number saved with it is not a whole number");
    }
    if (*stored.exam != saved.exam || !validExam(saved.exam, facts.demo)) {
        return QStringLiteral("its exam number, %1, is not one of this program's exams")
            .arg(*stored.exam);
    }
    const std::optional<session::CustomExam> custom = customOf(saved);
    if (!saved.custom.isEmpty() && (!custom || custom->exam != saved.exam)) {
        return QStringLiteral("its custom settings cannot be read");
    }
    if (custom && *stored.questions != custom->questions) {
        return QStringLiteral("it counts %1 questions where its settings ask for %2")
            .arg(*stored.questions)
            .arg(custom->questions);
    }
    if (!custom && *stored.questions != facts.questionsPerExam) {
        return QStringLiteral("it counts %1 questions where an exam has %2")
            .arg(*stored.questions)
            .arg(facts.questionsPerExam);
    }
    if (custom) {
        // Ascending: the first one the bank lacks is the first past its end.
        for (int category : custom->categories) {
            if (category >= facts.bankCategories) {
                return QStringLiteral(
                           "its custom settings ask for category %1, which the bank does not "
                           "have")
                    .arg(category);
            }
        }
        if (facts.inCategories < custom->questions) {
            return QStringLiteral(
                       "its custom settings ask for %1 questions from categories that hold %2")
                .arg(custom->questions)
                .arg(facts.inCategories);
        }
    }
    if (facts.drawn != saved.questions) {
        return QStringLiteral("%1 questions are drawn for it, not the %2 it counts")
            .arg(facts.drawn)
            .arg(saved.questions);
    }
    if (facts.missing > 0) {
        return QStringLiteral("%1 of its drawn questions %2 no longer in the bank")
            .arg(facts.missing)
            .arg(facts.missing == 1 ? QStringLiteral("is") : QStringLiteral("are"));
    }
    if (facts.repeatedTimes > 1) {
        return QStringLiteral("question ID %1 is drawn %2 for it")
            .arg(facts.repeatedId, facts.repeatedTimes == 2
                                       ? QStringLiteral("twice")
                                       : QStringLiteral("%1 times").arg(facts.repeatedTimes));
    }
    if (custom && facts.outsideCategories > 0) {
        return QStringLiteral(
                   "%1 of its drawn questions %2 not from the categories of its custom settings")
            .arg(facts.outsideCategories)
            .arg(facts.outsideCategories == 1 ? QStringLiteral("is") : QStringLiteral("are"));
    }
    if (facts.oddAnswerAt > 0) {
        QString odd = QStringLiteral(
                          "the answer saved for its question %1 holds %2, where the program "
                          "writes only 0 or 1")
                          .arg(facts.oddAnswerAt)
                          .arg(facts.oddAnswers);
        if (facts.oddAnswersAfter > 0) {
            odd += QStringLiteral("; %1 more of its questions %2 such values too")
                       .arg(facts.oddAnswersAfter)
                       .arg(facts.oddAnswersAfter == 1 ? QStringLiteral("holds")
                                                       : QStringLiteral("hold"));
        }
        return odd;
    }
    // The clock counts in an int; an untimed exam may have run for longer than a day.
    if (*stored.elapsed < 0 || *stored.elapsed > std::numeric_limits<int>::max()) {
        return QStringLiteral("its time used, %1 seconds, is impossible").arg(*stored.elapsed);
    }
    if (*stored.position < 1 || *stored.position > saved.questions) {
        return QStringLiteral("the question it was on, number %1, is not one of its %2")
            .arg(*stored.position)
            .arg(saved.questions);
    }
    if (!attempt::decodeMarks(saved.flags, saved.questions)) {
        return QStringLiteral("its list of flagged questions cannot be read");
    }
    return {};
}

QString resumeQuestion(const SavedAttempt& saved, int answered, int totalSeconds, bool demo) {
    const std::optional<session::CustomExam> custom = customOf(saved);
    QString exam =
        demo ? QStringLiteral("The demo exam") : QStringLiteral("Exam #%1").arg(saved.exam);
    if (custom) {
        exam = QStringLiteral("The custom exam of %1 from %2")
                   .arg(session::questionCount(custom->questions),
                        demo ? QStringLiteral("the demo exam")
                             : QStringLiteral("Exam #%1").arg(saved.exam));
    }
    const QString who =
        saved.candidate.trimmed().isEmpty()
            ? exam
            : QStringLiteral("%1, taken by %2,").arg(exam, app::shortName(saved.candidate));
    const int left = totalSeconds - saved.elapsed;
    QString text = QStringLiteral("%1 was interrupted before it was scored.\n").arg(who);
    text += QStringLiteral("Answered: %1 of %2 questions. ").arg(answered).arg(saved.questions);
    if (custom && custom->untimed()) {
        text += QStringLiteral("Time used: %1.\n\nResume it where it stopped?")
                    .arg(app::clockText(saved.elapsed));
    } else if (left > 0) {
        text += QStringLiteral("Time left: %1.\n\nResume it where it stopped?")
                    .arg(app::clockText(left));
    } else {
        text += QStringLiteral(
            "Time left: none.\n\nResume it? Its time is over, so Yes goes straight to its score "
            "sheet.");
    }
    return text;
}

bool offerInterruptedExam() {
    if (!mayHoldAttempt(app::edition().databaseFile)) {
        return false;
    }
    const bool demo = app::edition().demo;
    examdb::Database db;
    try {
        db = examdb::Database::open(app::edition().databaseFile);
    } catch (const examdb::Error&) {
        // The menu's own way into the file names what is wrong with it.
        return false;
    }
    attempt::requireTable(db, app::edition().databaseFile);
    std::optional<SavedAttempt> saved;
    try {
        saved = attempt::load(db);
    } catch (const examdb::Error& e) {
        refuse(QStringLiteral("what was saved of it cannot be read (%1)").arg(e.text));
        examdb::Transaction transaction(db);
        db.execute(examdb::statements::d1());
        attempt::drop(db);
        transaction.commit();
        return false;
    }
    if (!saved) {
        return false;
    }
    if (history::recorded(saved->key)) {
        // Scored and recorded; the program ended before it could clear the record.
        clearAttempt(db, saved->exam, demo);
        return false;
    }
    const QString problem = resumeProblem(*saved, factsOf(db, *saved));
    if (!problem.isEmpty()) {
        refuse(problem);
        clearAttempt(db, saved->exam, demo);
        return false;
    }
    const std::optional<session::CustomExam> custom = customOf(*saved);
    SetTimeLimit();
    const int totalSeconds = custom ? custom->minutes * 60 : ExamSettings.TimeLimitMinutes * 60;
    const int answered = answeredOf(db, saved->exam);
    const prompts::Answer answer =
        prompts::MsgBox(resumeQuestion(*saved, answered, totalSeconds, demo),
                        prompts::Buttons::YesNo, prompts::Icon::Question, kTitle);
    if (answer != prompts::Answer::Yes) {
        clearAttempt(db, saved->exam, demo);
        return false;
    }
    db.close();
    return takeUp(*saved, *attempt::decodeMarks(saved->flags, saved->questions), totalSeconds);
}

}  // namespace exam
