#include "look/inks.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include "look/look.h"

namespace look {
namespace {

// One colour per scheme: light, dark, high contrast.
struct Mapped {
    QColor light, dark, highContrast;

    QColor now() const {
        switch (scheme()) {
            case Scheme::Dark:
                return dark;
            case Scheme::HighContrast:
                return highContrast;
            case Scheme::Light:
                break;
        }
        return light;
    }
};

void setTextColour(QPalette& palette, const QColor& colour) {
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::WindowText, colour);
        palette.setColor(group, QPalette::ButtonText, colour);
        palette.setColor(group, QPalette::Text, colour);
    }
}

}  // namespace

QColor ink(Ink ink) {
    switch (ink) {
        case Ink::Instruction:
            return Mapped{QColor(139, 0, 0), QColor(255, 160, 150), QColor(255, 255, 0)}.now();
        case Ink::Score:
            return Mapped{QColor(128, 0, 0), QColor(255, 160, 150), QColor(255, 255, 0)}.now();
        case Ink::Link:
            return Mapped{QColor(0x1a, 0x4f, 0x8b), QColor(138, 180, 248), QColor(0, 255, 255)}
                .now();
        case Ink::Correct:
            // The plain green of 0,128,0 reads at 3.9:1 on the report grey, short of 4.5:1.
            return Mapped{QColor(0, 110, 0), QColor(129, 201, 149), QColor(0, 255, 0)}.now();
        case Ink::Wrong:
            return Mapped{QColor(192, 0, 0), QColor(255, 138, 128), QColor(255, 128, 128)}.now();
        case Ink::Notice:
            // Pure red reads at 3.0:1 on the report grey; this red at 4.9:1.
            return Mapped{QColor(192, 0, 0), QColor(255, 138, 128), QColor(255, 255, 0)}.now();
        case Ink::Warning:
            // Apart from the dark red of the instruction line beside it, still 4.5:1 or more.
            return Mapped{QColor(176, 48, 0), QColor(255, 176, 64), QColor(255, 255, 0)}.now();
    }
    return QApplication::palette().color(QPalette::WindowText);
}

QColor ground(Ground ground) {
    switch (ground) {
        case Ground::Report:
            return Mapped{QColor(224, 224, 224), QColor(45, 45, 48), Qt::black}.now();
        case Ground::PassBand:
            return Mapped{QColor(128, 255, 128), QColor(27, 94, 32), QColor(0, 255, 0)}.now();
        case Ground::FailBand:
            return Mapped{QColor(255, 192, 192), QColor(127, 29, 29), QColor(255, 160, 160)}.now();
        case Ground::IdBox:
            return Mapped{QColor(192, 192, 192), QColor(70, 70, 70), Qt::black}.now();
    }
    return QApplication::palette().color(QPalette::Window);
}

QColor inkOn(Ground ground) {
    switch (ground) {
        case Ground::PassBand:
        case Ground::FailBand:
            return Mapped{QColor(128, 0, 0), Qt::white, Qt::black}.now();
        case Ground::IdBox:
            return Mapped{Qt::black, QColor(232, 234, 237), Qt::white}.now();
        case Ground::Report:
            break;
    }
    return QApplication::palette().color(QPalette::WindowText);
}

void paintText(QWidget& widget, Ink colour) {
    QPalette palette = widget.palette();
    setTextColour(palette, ink(colour));
    widget.setPalette(palette);
}

void paintGround(QWidget& widget, Ground fill) {
    QPalette palette = widget.palette();
    // The question-number box is a line box, drawn on Base; the rest are window areas.
    const QPalette::ColorRole role = fill == Ground::IdBox ? QPalette::Base : QPalette::Window;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, role, ground(fill));
    }
    // The report grey keeps the palette's own text, which its children inherit.
    if (fill != Ground::Report) {
        setTextColour(palette, inkOn(fill));
    }
    widget.setPalette(palette);
    if (role == QPalette::Window) {
        widget.setAutoFillBackground(true);
    }
}

void paintGround(QWidget& widget, Ground fill, Ink colour) {
    paintGround(widget, fill);
    paintText(widget, colour);
}

}  // namespace look
