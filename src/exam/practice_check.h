#pragma once

#include <QWidget>
#include <array>
#include <optional>

#include "session/practice_key.h"

class QLabel;
class QPlainTextEdit;

namespace exam {

// The band under the choices of a practice run: the verdict on a green or red ground, then the
// explanation.
class PracticeFeedback : public QWidget {
    Q_OBJECT

public:
    explicit PracticeFeedback(QWidget* parent);

    void showVerdict(const std::array<bool, 5>& chosen, const session::KeyAnswer& key);
    // A line instead of a verdict, such as why nothing was checked.
    void showNote(const QString& note);
    void clear();

    QString verdict() const;
    QString explanation() const;
    // The one part the keyboard reaches, for the window's tab order.
    QWidget* explanationBox() const;

private:
    QLabel* verdict_;
    QPlainTextEdit* explanation_;
};

}  // namespace exam
