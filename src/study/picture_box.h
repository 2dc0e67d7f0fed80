#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace study {

// Shows a picture at its own size from the top-left corner; whatever does not fit is cut off
// at the box's edges, never scaled. It takes no input.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(QImage picture);
    const QImage& picture() const { return picture_; }
    void setBackground(const QColor& colour);
    QColor background() const { return background_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QColor background_;
};

}  // namespace study
