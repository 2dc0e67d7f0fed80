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

// What ActiveExam means, decoded once: 1 to 3 while an exam is taken, 11, 22, 33 while exam 1,
// 2, 3 is studied.
bool isTakingExam();
bool isStudying();
// The exam whose tables the windows show: the one taken or studied; the demo has only exam 1.
int bankExam();

// From the notice's OK until the candidate leaves the score sheet the running exam is the only
// exam: the menu stays away and nothing changes ActiveExam or CandidateName.
void beginExam();
void endExam();
bool examUnderWay();
