#pragma once

#include <QString>

// The one process-wide record that windows share instead of passing values to each other.
struct ExamSettingsRecord {
    qint16 QuestionsPerExam = 0;
    qint16 TimeLimitMinutes = 0;
    qint16 PassingScore = 0;
    qint16 ActiveExam = 0;
    QString CandidateName;
    qint16 ReviewExam = 0;
    qint16 QuestionNo = 0;
    // A null text counts as no exhibit, like an empty one.
    QString CurrentExhibit;
};

extern ExamSettingsRecord ExamSettings;

// Back to the zeroed state the program starts in.
void resetExamSettings();

// True when CurrentExhibit names a picture.
bool hasCurrentExhibit();
