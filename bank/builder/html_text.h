#pragma once

#include <QString>
#include <QStringList>

namespace bank {

struct HtmlText {
    QString text;
    QStringList pictures;  // src of every <img>, in order
};

// Plain text as a browser would show the HTML: paragraphs and block elements become blank
// lines, <br> a line break, list items lines of their own; entities decoded, a no-break space
// read as a blank so runs of blanks survive.
HtmlText htmlToPlainText(const QString& html);

// The inverse for our own texts: blank-line paragraphs become <p>, other line breaks <br>, and
// blanks that HTML would fold are written as no-break spaces.
QString plainTextToHtml(const QString& text);

}  // namespace bank
