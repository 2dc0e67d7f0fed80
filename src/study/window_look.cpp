#include "study/window_look.h"

#include <QAbstractButton>
#include <QFont>
#include <QGridLayout>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QWidget>

#include "look/choice_alignment.h"
#include "look/text_zoom.h"

namespace study {

void useFixedPitch(QPlainTextEdit& text) {
    QFont font(QStringLiteral("Courier New"), text.font().pointSize());
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    text.setFont(font);
}

void makeDisplayOnly(QAbstractButton& mark) {
    mark.setAttribute(Qt::WA_TransparentForMouseEvents);
    mark.setFocusPolicy(Qt::NoFocus);
}

void keepReadableWhenDisabled(QLineEdit& box) {
    QPalette palette = box.palette();
    palette.setColor(QPalette::Disabled, QPalette::Text,
                     palette.color(QPalette::Active, QPalette::Text));
    box.setPalette(palette);
}

void fitAnswerRows(QGridLayout& rows, int textColumn) {
    for (int row = 0; row < rows.rowCount(); ++row) {
        const QLayoutItem* item = rows.itemAtPosition(row, textColumn);
        const QWidget* text = item ? item->widget() : nullptr;
        rows.setRowStretch(row, text && !text->isHidden() ? 1 : 0);
    }
}

void readAloudAndZoom(QPlainTextEdit& question, QPlainTextEdit* explanation,
                      const std::vector<look::ChoiceRow>& answers) {
    question.setAccessibleName(QStringLiteral("Question"));
    look::followZoom(question);
    if (explanation) {
        explanation->setAccessibleName(QStringLiteral("Explanation"));
        look::followZoom(*explanation);
    }
    look::nameChoiceRows(answers);
    for (const look::ChoiceRow& row : answers) {
        look::followZoom(*row.text);
    }
    look::alignChoiceRows(answers);
}

}  // namespace study
