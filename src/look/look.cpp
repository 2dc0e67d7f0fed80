#include "look/look.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleOption>

#include "look/preferences.h"

namespace look {
namespace {

Look& currentLook() {
    static Look look = Look::Standard;
    return look;
}

// The platform's own palette and style, kept so the standard look can come back to them.
const QPalette& platformPalette() {
    static const QPalette palette = QApplication::palette();
    return palette;
}

const QString& platformStyle() {
    static const QString name = QApplication::style()->name();
    return name;
}

// The edge of boxes and grids: the text colour in high contrast, a mid grey on dark grounds,
// where either reads at 3:1 or more against the window and the box.
QColor edgeColour(const QPalette& palette) {
    // A box that is disabled but shows content keeps the edge of a live one.
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    if (currentLook() == Look::HighContrast) {
        return text;
    }
    const QColor ground = palette.color(QPalette::Active, QPalette::Window);
    const auto mix = [](int a, int b) { return (a * 55 + b * 45) / 100; };
    return QColor(mix(text.red(), ground.red()), mix(text.green(), ground.green()),
                  mix(text.blue(), ground.blue()));
}

// On dark grounds the style's own outlines of selectors, text boxes and grids are darker
// still and vanish; each gets an edge that keeps it visible.
class OutlinedControls : public QProxyStyle {
public:
    OutlinedControls() : QProxyStyle(QStringLiteral("Fusion")) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        switch (element) {
            case PE_IndicatorCheckBox:
            case PE_IndicatorRadioButton:
                ringSelector(element, *option, *painter);
                break;
            case PE_Frame:
            case PE_FrameLineEdit:
                edgeBox(*option, *painter);
                break;
            default:
                break;
        }
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_Table_GridLineColor && option) {
            return int(edgeColour(option->palette).rgba());
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    static void ringSelector(PrimitiveElement element, const QStyleOption& option,
                             QPainter& painter) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(option.palette.color(QPalette::WindowText), 1.5));
        painter.setBrush(Qt::NoBrush);
        const QRectF ring = QRectF(option.rect).adjusted(1, 1, -1, -1);
        if (element == PE_IndicatorRadioButton) {
            painter.drawEllipse(ring);
        } else {
            painter.drawRoundedRect(ring, 2, 2);
        }
        painter.restore();
    }

    static void edgeBox(const QStyleOption& option, QPainter& painter) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(edgeColour(option.palette), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter.restore();
    }
};

struct Colours {
    QColor window, windowText, base, alternateBase, text, button, buttonText, highlight,
        highlightedText, link, disabledText, tipBase, tipText, placeholder, mid, dark, light;
};

QPalette paletteOf(const Colours& c) {
    QPalette p(c.button, c.window);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        p.setColor(group, QPalette::Window, c.window);
        p.setColor(group, QPalette::WindowText, disabled ? c.disabledText : c.windowText);
        p.setColor(group, QPalette::Base, c.base);
        p.setColor(group, QPalette::AlternateBase, c.alternateBase);
        p.setColor(group, QPalette::Text, disabled ? c.disabledText : c.text);
        p.setColor(group, QPalette::Button, c.button);
        p.setColor(group, QPalette::ButtonText, disabled ? c.disabledText : c.buttonText);
        p.setColor(group, QPalette::BrightText, c.text);
        p.setColor(group, QPalette::Highlight, c.highlight);
        p.setColor(group, QPalette::HighlightedText, c.highlightedText);
        p.setColor(group, QPalette::Link, c.link);
        p.setColor(group, QPalette::LinkVisited, c.link);
        p.setColor(group, QPalette::ToolTipBase, c.tipBase);
        p.setColor(group, QPalette::ToolTipText, c.tipText);
        p.setColor(group, QPalette::PlaceholderText, c.placeholder);
        p.setColor(group, QPalette::Light, c.light);
        p.setColor(group, QPalette::Midlight, c.mid.lighter(115));
        p.setColor(group, QPalette::Mid, c.mid);
        p.setColor(group, QPalette::Dark, c.dark);
        p.setColor(group, QPalette::Shadow, Qt::black);
    }
    return p;
}

QPalette darkPalette() {
    return paletteOf({.window = QColor(32, 33, 36),
                      .windowText = QColor(232, 234, 237),
                      .base = QColor(44, 46, 50),
                      .alternateBase = QColor(40, 42, 46),
                      .text = QColor(232, 234, 237),
                      .button = QColor(48, 50, 54),
                      .buttonText = QColor(232, 234, 237),
                      .highlight = QColor(138, 180, 248),
                      .highlightedText = QColor(0, 0, 0),
                      .link = QColor(138, 180, 248),
                      .disabledText = QColor(150, 150, 150),
                      .tipBase = QColor(48, 50, 54),
                      .tipText = QColor(232, 234, 237),
                      .placeholder = QColor(160, 160, 160),
                      .mid = QColor(70, 72, 76),
                      .dark = QColor(16, 16, 18),
                      .light = QColor(90, 92, 96)});
}

// Pure black and white, with yellow where the eye must land.
QPalette highContrastPalette() {
    return paletteOf({.window = Qt::black,
                      .windowText = Qt::white,
                      .base = Qt::black,
                      .alternateBase = QColor(28, 28, 28),
                      .text = Qt::white,
                      .button = Qt::black,
                      .buttonText = Qt::white,
                      .highlight = QColor(255, 255, 0),
                      .highlightedText = Qt::black,
                      .link = QColor(255, 255, 0),
                      .disabledText = QColor(192, 192, 192),
                      .tipBase = Qt::black,
                      .tipText = Qt::white,
                      .placeholder = QColor(192, 192, 192),
                      .mid = QColor(192, 192, 192),
                      .dark = Qt::white,
                      .light = Qt::white});
}

}  // namespace

std::optional<Look> lookNamed(const QString& name) {
    for (Look look : {Look::Standard, Look::Dark, Look::HighContrast}) {
        if (name.compare(nameOf(look), Qt::CaseInsensitive) == 0) {
            return look;
        }
    }
    return std::nullopt;
}

QString nameOf(Look look) {
    switch (look) {
        case Look::Dark:
            return QStringLiteral("dark");
        case Look::HighContrast:
            return QStringLiteral("high-contrast");
        case Look::Standard:
            break;
    }
    return QStringLiteral("standard");
}

Look chosenLook(const QStringList& arguments, QString* problem) {
    QString name;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--theme") && i + 1 < arguments.size()) {
            name = arguments.at(++i);
        } else if (a.startsWith(QLatin1String("--theme="))) {
            name = a.mid(8);
        }
    }
    if (name.isEmpty()) {
        name = preference(QStringLiteral("look/theme")).toString();
    }
    if (name.isEmpty()) {
        return Look::Standard;
    }
    if (const std::optional<Look> look = lookNamed(name)) {
        return *look;
    }
    if (problem) {
        *problem = QStringLiteral(
                       "Unknown theme \"%1\": use standard, dark or high-contrast. The standard "
                       "look is used.")
                       .arg(name);
    }
    return Look::Standard;
}

void apply(Look look) {
    const QPalette& platform = platformPalette();
    const QString& style = platformStyle();
    if (look == currentLook() && look == Look::Standard) {
        return;  // nothing to change, and nothing to repaint at start-up
    }
    currentLook() = look;
    switch (look) {
        case Look::Dark:
            QApplication::setStyle(new OutlinedControls);
            QApplication::setPalette(darkPalette());
            break;
        case Look::HighContrast:
            QApplication::setStyle(new OutlinedControls);
            QApplication::setPalette(highContrastPalette());
            break;
        case Look::Standard:
            QApplication::setStyle(style);
            QApplication::setPalette(platform);
            break;
    }
}

Look current() {
    return currentLook();
}

Scheme scheme() {
    switch (currentLook()) {
        case Look::Dark:
            return Scheme::Dark;
        case Look::HighContrast:
            return Scheme::HighContrast;
        case Look::Standard:
            break;
    }
    return platformPalette().color(QPalette::Window).lightness() >= 128 ? Scheme::Light
                                                                        : Scheme::Dark;
}

}  // namespace look
