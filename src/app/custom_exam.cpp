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

const QString kNameKey = QStringLiteral("exam/candidate");

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
    return look::preference(kNameKey, edition().nameDefault).toString();
}

void rememberCandidateName(const QString& name) {
    look::setPreference(kNameKey, name);
}

bool startCustomExam(const session::CustomExam& custom, const QString& candidate,
                     const QString& returnTo) {
    if (examUnderWay() || custom.questions < 1 ||
        (custom.categories.empty() && custom.ids.empty())) {
        return false;
    }
    const qint16 activeBefore = ExamSettings.ActiveExam;
    ExamSettings.CandidateName = candidate.isEmpty() ? lastCandidateName() : candidate;
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
