#pragma once

#include <QString>
#include <optional>

#include "session/custom_settings.h"

namespace app {

// The score sheet's title line: "Custom exam: 20 questions from Exam #1"; for a review of
// chosen questions "Review: 12 questions from Exam #1".
QString customTitle(const session::CustomExam& custom);

// The custom exam being taken; empty while a fixed exam is taken or none is.
const std::optional<session::CustomExam>& customExam();
bool isCustomExam();
// Makes custom the exam being taken (ActiveExam and the count of questions follow it).
void setCustomExam(const session::CustomExam& custom);
// Back to the fixed exams: their count of questions again.
void clearCustomExam();

// The name a custom exam runs under: the one typed last in this edition, in this session or an
// earlier one. Each edition keeps its own, so neither program records under the other's name.
QString lastCandidateName();
void rememberCandidateName(const QString& name);
// The one name both programs once shared, while this edition has none of its own yet: it may
// have been typed in the other program, so the caller adopts it only where it can tell it was
// used here. Empty once this edition has a name, or when there never was a shared one.
std::optional<QString> sharedCandidateName();

// The settings the Custom Exam dialog started last in this edition, unchecked against the bank.
std::optional<session::CustomExam> lastCustomExam();
void rememberCustomExam(const session::CustomExam& custom);

// Starts custom at once, without intro and notice, as the notice's OK starts a fixed exam, under
// candidate (empty: the name typed last); returnTo is the window the score sheet's Exit goes back
// to (empty: the main menu). False, with nothing changed, when an exam is under way or the exam
// window cannot open.
bool startCustomExam(const session::CustomExam& custom, const QString& candidate = QString(),
                     const QString& returnTo = QString());
// The same under candidate exactly as typed: an empty name stays empty, as a cancelled name box
// leaves it for a fixed exam.
bool startCustomExamAs(const session::CustomExam& custom, const QString& candidate,
                       const QString& returnTo = QString());

}  // namespace app
