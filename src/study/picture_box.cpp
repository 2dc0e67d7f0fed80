#include "study/picture_box.h"

#include <QPaintEvent>
#include <QPainter>

namespace study {

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent), background_(palette().color(QPalette::Light)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(QImage picture) {
    picture_ = std::move(picture);
    update();
}

void PictureBox::setBackground(const QColor& colour) {
    background_ = colour;
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), background_);
    if (!picture_.isNull()) {
        painter.drawImage(QPoint(0, 0), picture_);
    }
}

}  // namespace study
