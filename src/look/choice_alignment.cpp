#include "look/choice_alignment.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStyle>
#include <QTextDocument>
#include <algorithm>

namespace look {
namespace {

// Distance from the top of the text box to the middle of its first line.
int firstLineMiddle(const QPlainTextEdit& text) {
    const int top = text.frameWidth() + qRound(text.document()->documentMargin());
    return top + text.fontMetrics().height() / 2;
}

QLayout* layoutHolding(QLayout& layout, const QWidget& widget) {
    if (layout.indexOf(&widget) >= 0) {
        return &layout;
    }
    for (int i = 0; i < layout.count(); ++i) {
        if (QLayout* inner = layout.itemAt(i)->layout()) {
            if (QLayout* found = layoutHolding(*inner, widget)) {
                return found;
            }
        }
    }
    return nullptr;
}

// The selector takes the top of its cell, so its top is the text's.
void pinToTop(QAbstractButton& selector) {
    QWidget* parent = selector.parentWidget();
    QLayout* layout =
        parent && parent->layout() ? layoutHolding(*parent->layout(), selector) : nullptr;
    if (!layout) {
        return;
    }
    const Qt::Alignment now = layout->itemAt(layout->indexOf(&selector))->alignment();
    layout->setAlignment(&selector, (now & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
}

// The style centres a selector's indicator and letter in its height; twice the middle of the
// first line puts them on that line.
void level(QAbstractButton& selector, const QPlainTextEdit& text) {
    const int indicator =
        selector.style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, &selector);
    selector.setFixedHeight(std::max(2 * firstLineMiddle(text), indicator + 2));
}

class Leveller : public QObject {
public:
    Leveller(QPlainTextEdit& text, const std::vector<QAbstractButton*>& selectors)
        : QObject(&text), text_(text), selectors_(selectors.begin(), selectors.end()) {
        text.installEventFilter(this);
        levelAll();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::FontChange:
                levelAll();
                break;
            case QEvent::StyleChange:
                // The frame takes the new style's width only once the box has seen the change.
                QMetaObject::invokeMethod(
                    this, [this] { levelAll(); }, Qt::QueuedConnection);
                break;
            default:
                break;
        }
        return false;
    }

private:
    void levelAll() {
        for (const QPointer<QAbstractButton>& selector : selectors_) {
            if (selector) {
                level(*selector, text_);
            }
        }
    }

    QPlainTextEdit& text_;
    std::vector<QPointer<QAbstractButton>> selectors_;
};

}  // namespace

void alignChoiceRows(const std::vector<ChoiceRow>& rows) {
    for (const ChoiceRow& row : rows) {
        for (QAbstractButton* selector : row.selectors) {
            pinToTop(*selector);
        }
        new Leveller(*row.text, row.selectors);
    }
}

}  // namespace look
