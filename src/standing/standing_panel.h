#pragma once

#include <QLabel>

namespace standing {

// Below the main menu's bar: the last attempt of the name typed last, the questions due and
// the estimate of passing, each a link to where it leads ("progress" or "due"). Empty until
// there is something to tell.
class StandingPanel : public QLabel {
    Q_OBJECT

public:
    explicit StandingPanel(QWidget* parent = nullptr);

    // Reads the history again.
    void refresh();

    // The lines as shown, without markup (tests, and the screen reader's description).
    QStringList lines() const { return lines_; }

private:
    QStringList lines_;
};

}  // namespace standing
