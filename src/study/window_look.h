#pragma once

#include <QColor>
#include <vector>

#include "look/choice_names.h"

class QAbstractButton;
class QGridLayout;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

// Looks and behaviours the study and reference windows share.
namespace study {

// Question and answer texts read best in a fixed-pitch face; Courier New where installed.
void useFixedPitch(QPlainTextEdit& text);

// A mark that shows the answer key: it looks live but neither mouse nor keyboard can change
// it, since a change would be written back to the key table.
void makeDisplayOnly(QAbstractButton& mark);

// A box the user cannot edit or reach that must still read clearly.
void keepReadableWhenDisabled(QLineEdit& box);

// Gives the answer rows whose text is shown the window's spare height, and hidden rows none,
// so a question with fewer answers leaves no gap. textColumn holds the answer texts.
void fitAnswerRows(QGridLayout& rows, int textColumn);

// Question, answers and explanation named for a screen reader and sized by the text zoom; the
// answers' rows top down, each with its selectors, lettered and level with the text's first line.
void readAloudAndZoom(QPlainTextEdit& question, QPlainTextEdit* explanation,
                      const std::vector<look::ChoiceRow>& answers);

}  // namespace study
