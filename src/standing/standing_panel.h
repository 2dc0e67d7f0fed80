#pragma once

#include <QStringList>
#include <QWidget>

class QPushButton;

namespace standing {

// Below the main menu's bar: the last attempt of the name typed last, the questions due and
// the estimate of passing, each a link-like button to where it leads, reached with Tab and
// taken with Enter. Empty until there is something to tell.
class StandingPanel : public QWidget {
    Q_OBJECT

public:
    explicit StandingPanel(QWidget* parent = nullptr);

    // Reads the history again; the keyboard starts at the first line.
    void refresh();

    // The lines as shown (tests).
    QStringList lines() const;

Q_SIGNALS:
    // "progress" or "due".
    void linkActivated(const QString& target);

private:
    void showLine(int n, const QString& text, const char* target);

    QPushButton* lines_[3];
    QString targets_[3];
};

}  // namespace standing
