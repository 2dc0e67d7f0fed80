#include "app/custom_exam.h"

#include <QStringList>
#include <algorithm>

#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/window_flow.h"
#include "app/window_names.h"
#include "look/preferences.h"
#include "session/exam_session.h"

namespace app {
namespace {

// Where both programs kept one name, before each kept its own.
const QString kSharedNameKey = QStringLiteral("exam/candidate");

// A key of this edition's own: the two programs share one preferences file.
QString editionKey(const char* what) {
    return (edition().demo ? QStringLiteral("demo/") : QStringLiteral("full/")) +
           QLatin1String(what);
}

}  // namespace

QString customTitle(const session::CustomExam& custom) {
    const QString exam = edition().demo ? QStringLiteral("Exam #%1 Demo").arg(custom.exam)
                                        : QStringLiteral("Exam #%1").arg(custom.exam);
    const QString title = custom.ids.empty() ? QStringLiteral("Custom exam: %1 from %2")
                                             : QStringLiteral("Review: %1 from %2");
    return title.arg(session::questionCount(custom.questions), exam);
}

const std::optional<session::CustomExam>& customExam() {
    return session::active().custom();
}

bool isCustomExam() {
    return customExam().has_value();
}

void setCustomExam(const session::CustomExam& custom) {
    session::active().chooseCustom(custom);
    ExamSettings.ActiveExam = qint16(custom.exam);
    ExamSettings.QuestionsPerExam = qint16(custom.questions);
}

void clearCustomExam() {
    session::active().chooseCustom(std::nullopt);
    ExamSettings.QuestionsPerExam = edition().questionsPerExam;
}

QString lastCandidateName() {
    if (!ExamSettings.CandidateName.isEmpty()) {
        return ExamSettings.CandidateName;
    }
    return look::preference(editionKey("candidate"), edition().nameDefault).toString();
}

void rememberCandidateName(const QString& name) {
    look::setPreference(editionKey("candidate"), name);
}

std::optional<QString> sharedCandidateName() {
    if (look::preference(editionKey("candidate")).isValid()) {
        return std::nullopt;
    }
    const QVariant shared = look::preference(kSharedNameKey);
    return shared.isValid() ? std::optional<QString>(shared.toString()) : std::nullopt;
}

std::optional<session::CustomExam> lastCustomExam() {
    const std::optional<session::CustomExam> last =
        session::decodeCustom(look::preference(editionKey("customExam")).toString());
    // Only the dialog's own settings are kept; a review of chosen questions is never one.
    return last && last->ids.empty() ? last : std::nullopt;
}

void rememberCustomExam(const session::CustomExam& custom) {
    look::setPreference(editionKey("customExam"), session::encodeCustom(custom));
}

bool startCustomExam(const session::CustomExam& custom, const QString& candidate,
                     const QString& returnTo) {
    return startCustomExamAs(custom, candidate.isEmpty() ? lastCandidateName() : candidate,
                             returnTo);
}

bool startCustomExamAs(const session::CustomExam& custom, const QString& candidate,
                       const QString& returnTo) {
    if (examUnderWay() || custom.questions < 1 ||
        (custom.categories.empty() && custom.ids.empty())) {
        return false;
    }
    const qint16 activeBefore = ExamSettings.ActiveExam;
    ExamSettings.CandidateName = candidate;
    setCustomExam(custom);
    beginExam();
    // Without an exam window to go to nothing changes: the menu must stay reachable.
    if (!(returnTo.isEmpty() ? flow::open(win::Exam) : flow::open(win::Exam, returnTo))) {
        endExam();
        clearCustomExam();
        ExamSettings.ActiveExam = activeBefore;
        return false;
    }
    flow::hide(win::Intro);
    flow::hide(win::Notice);
    flow::hide(win::MainMenu);
    return true;
}

}  // namespace app
