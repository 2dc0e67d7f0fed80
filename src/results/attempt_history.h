#pragma once

#include <QObject>
#include <optional>

#include "history/attempt_record.h"

namespace session {
class ExamSession;
struct ScoreReport;
}  // namespace session

namespace results {

// The scored exam as the progress history keeps it: the report's figures with the exam's
// settings, candidate and clock.
history::AttemptRecord scoredAttempt(const session::ScoreReport& report);

// Records every exam the session ends into the progress history.
class HistoryRecorder : public QObject {
    Q_OBJECT

public:
    // The session's recorder, made on first use.
    static HistoryRecorder& of(session::ExamSession& session);

    // The name's score before the exam last recorded, at the same exam, if any.
    std::optional<int> previous() const { return previous_; }

private:
    explicit HistoryRecorder(session::ExamSession& session);
    void record(const session::ScoreReport& report);

    std::optional<int> previous_;
};

}  // namespace results
