#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace bank {

// One drawn question's answer as a source kept it.
struct SourcedAnswer {
    qint64 question = 0;
    bool correct = false;
    std::optional<QString> chosen;  // unknown in histories from before letters were kept
    std::optional<int> seconds;
};

// One attempt: who can tell it apart from every other (its key, or what the history held of
// it before there were keys), which exam, and its answers in draw order.
struct SourcedAttempt {
    QString identity;
    int exam = 0;
    std::vector<SourcedAnswer> answers;
};

struct HistoryReading {
    int attempts = 0;      // handed on
    int otherEdition = 0;  // of the other program, left out
};

// Hands every attempt of edition ("full" or "demo") in the progress history at path to take,
// reading the file without writing to it or beside it. A file that is no readable history of a
// layout this program knows is refused with a SourceError naming the reason.
HistoryReading readHistoryAttempts(const QString& path, const QString& edition,
                                   const std::function<void(const SourcedAttempt&)>& take);

}  // namespace bank
