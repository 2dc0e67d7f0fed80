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

// The name a custom exam runs under: the one typed last, in this session or an earlier one.
QString lastCandidateName();
void rememberCandidateName(const QString& name);

// Starts custom at once, without intro and notice, as the notice's OK starts a fixed exam, under
// candidate (empty: the name typed last); returnTo is the window the score sheet's Exit goes back
// to (empty: the main menu). False, with nothing changed, when an exam is under way or the exam
// window cannot open.
bool startCustomExam(const session::CustomExam& custom, const QString& candidate = QString(),
                     const QString& returnTo = QString());

}  // namespace app
