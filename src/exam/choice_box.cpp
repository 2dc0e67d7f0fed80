#include "exam/choice_box.h"

namespace exam {

ChoiceBox::ChoiceBox(QWidget* parent) : QCheckBox(parent) {}

void ChoiceBox::nextCheckState() {
    if (!isChecked() && mayTick_ && !mayTick_()) {
        return;
    }
    QCheckBox::nextCheckState();
}

}  // namespace exam
