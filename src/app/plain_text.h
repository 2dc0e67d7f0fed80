#pragma once

#include <QString>
#include <QTextDocument>

// Text from a candidate, a bank or a file, for the few places that read text as markup.
namespace plain {

// Chart titles, legends and axis labels draw their text as markup: escaped, it reads as typed.
inline QString forMarkup(const QString& text) {
    return text.toHtmlEscaped();
}

// A tool tip reads its text as markup only when it looks like some; such text is turned into
// markup that shows it as typed.
inline QString forToolTip(const QString& text) {
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

}  // namespace plain
