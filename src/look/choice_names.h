#pragma once

#include <QString>
#include <vector>

class QAbstractButton;
class QPlainTextEdit;

// What a screen reader says for the answer rows: each selector carries its letter and the text
// beside it, as the keys A to E choose them, and follows the text through every move.
namespace look {

struct ChoiceRow {
    QPlainTextEdit* text;
    std::vector<QAbstractButton*> selectors;
};

enum class Letters { Shown, Unshown };

// Rows top down are A, B, C...; a selector reads "<kind> B: <text>", its text box "Choice B".
// Shown letters stand beside each selector, at the text's zoom, so the keys A-E and the
// spoken names match what is on screen; a click on the letter is a click on the selector.
void nameChoiceRows(const std::vector<ChoiceRow>& rows,
                    const QString& kind = QStringLiteral("Choice"),
                    Letters letters = Letters::Shown);

// "<kind> B: <text>" for row index 1, with the text's runs of white space made single.
QString choiceName(const QString& kind, int row, const QString& text);

}  // namespace look
