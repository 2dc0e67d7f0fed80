#include "look/choice_names.h"

#include <QAbstractButton>
#include <QPlainTextEdit>

#include "look/text_zoom.h"

namespace look {
namespace {

QString letter(int row) {
    return QString(QChar(u'A' + row));
}

void rename(const ChoiceRow& row, const QString& kind, int index) {
    const QString name = choiceName(kind, index, row.text->toPlainText());
    for (QAbstractButton* selector : row.selectors) {
        selector->setAccessibleName(name);
    }
}

}  // namespace

QString choiceName(const QString& kind, int row, const QString& text) {
    const QString label = kind + u' ' + letter(row);
    const QString simple = text.simplified();
    return simple.isEmpty() ? label : label + QStringLiteral(": ") + simple;
}

void nameChoiceRows(const std::vector<ChoiceRow>& rows, const QString& kind, Letters letters) {
    for (size_t i = 0; i < rows.size(); ++i) {
        const ChoiceRow& row = rows[i];
        const int index = int(i);
        row.text->setAccessibleName(QStringLiteral("Choice ") + letter(index));
        if (letters == Letters::Shown) {
            for (QAbstractButton* selector : row.selectors) {
                selector->setText(letter(index));
                followZoom(*selector);
            }
        }
        rename(row, kind, index);
        QObject::connect(row.text, &QPlainTextEdit::textChanged, row.text,
                         [row, kind, index] { rename(row, kind, index); });
    }
}

}  // namespace look
