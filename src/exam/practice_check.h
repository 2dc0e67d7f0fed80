#pragma once

#include <QWidget>
#include <array>
#include <optional>

class QLabel;
class QPlainTextEdit;

namespace examdb {
class Database;
}

namespace exam {

// A question's key as a practice run shows it once the answer is checked.
struct KeyAnswer {
    std::array<bool, 5> right{};  // answer n (1 to 5) at index n - 1
    QString explanation;
};

// The key of question id of exam's key table; empty when the key holds no such question.
std::optional<KeyAnswer> keyOf(examdb::Database& db, int exam, qint64 id);

// "Right." or "Wrong. The right choice is B." (letters of the shown choices, top down).
QString verdictText(const std::array<bool, 5>& chosen, const KeyAnswer& key);

// The band under the choices of a practice run: the verdict on a green or red ground, then the
// explanation.
class PracticeFeedback : public QWidget {
    Q_OBJECT

public:
    explicit PracticeFeedback(QWidget* parent);

    void showVerdict(const std::array<bool, 5>& chosen, const KeyAnswer& key);
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
