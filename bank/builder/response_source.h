#pragma once

#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace bank {

// The choices made, bit n for the letter A + n; 0 when none was.
using ChoiceLetters = quint8;

// "AC" as letters; anything but A to E counts for nothing.
inline ChoiceLetters choiceLetters(const char* text) {
    ChoiceLetters letters = 0;
    for (; text && *text; ++text) {
        if (*text >= 'A' && *text <= 'E') {
            letters |= ChoiceLetters(1u << (*text - 'A'));
        }
    }
    return letters;
}

// One drawn question's answer as a source kept it.
struct SourcedAnswer {
    qint64 question = 0;
    bool correct = false;
    std::optional<ChoiceLetters> chosen;  // unknown in histories from before letters were kept
    std::optional<int> seconds;
};

// One attempt: who can tell it apart from every other (its key, which the record store knows
// as its registration, or what an old history held of it), which exam, and its answers.
struct SourcedAttempt {
    QString identity;
    int exam = 0;
    std::vector<SourcedAnswer> answers;
};

// What one reading of a source handed on, and what it left out with why ("of the other
// edition" -> 3); the reasons end a sentence that begins with a count.
struct SourceReading {
    int attempts = 0;
    std::map<QString, int> leftOut;
};

using TakeAttempt = std::function<void(const SourcedAttempt&)>;

// Somewhere attempts are kept: a history file, a record store. The analysis reads each source
// twice; read throws SourceError when the source cannot be read at all.
struct ResponseSource {
    QString name;
    std::function<SourceReading(const TakeAttempt& take)> read;
};

}  // namespace bank
