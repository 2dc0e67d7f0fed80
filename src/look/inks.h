#pragma once

#include <QColor>

class QWidget;

// The fixed colours of the program's windows, mapped to the current look. On a light palette in
// the standard look they are exactly the windows' own; in the other looks they keep their
// meaning (red for a warning, green for right) at a readable contrast.
namespace look {

enum class Ink {
    Instruction,  // dark red: the exam's instruction line and the flag
    Score,        // dark red: the score sheet's pass mark and score
    Link,         // the exam's clickable pause caption
    Correct,      // green: the key beside a wrong answer
    Wrong,        // red: the candidate's own choices beside the key
    Notice,       // red: the answer window's note on how to return
    Warning,      // amber-red: the clock when little time is left
};

enum class Ground {
    Report,    // light grey behind the score sheet and the reference windows
    PassBand,  // light green behind "Congratulations!"
    FailBand,  // light red behind "Sorry, please try again!"
    IdBox,     // grey behind the answer window's question number
};

QColor ink(Ink ink);
QColor ground(Ground ground);
// The text drawn on a ground.
QColor inkOn(Ground ground);

// Text of the widget in the ink, in every state.
void paintText(QWidget& widget, Ink ink);
// The widget filled with the ground, its text in the ground's ink (or the given one).
void paintGround(QWidget& widget, Ground ground);
void paintGround(QWidget& widget, Ground ground, Ink ink);

}  // namespace look
