#pragma once

#include <QCheckBox>
#include <functional>

namespace exam {

// A choice's check box that asks before it is ticked, by mouse, key or program click, so a
// tick the question does not allow never shows, not even for a moment. Setting it from code
// (the stored answer) asks nothing.
class ChoiceBox : public QCheckBox {
    Q_OBJECT

public:
    explicit ChoiceBox(QWidget* parent = nullptr);

    // mayTick is asked before each tick; false leaves the box unticked.
    void setTickGate(std::function<bool()> mayTick) { mayTick_ = std::move(mayTick); }

protected:
    void nextCheckState() override;

private:
    std::function<bool()> mayTick_;
};

}  // namespace exam
