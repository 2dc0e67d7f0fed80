#pragma once

class QWidget;

// The candidate's text size: question, choice, explanation, help and score texts grow and
// shrink together in every window, from half to three times their size, and the choice is kept
// for the next start.
namespace look {

inline constexpr int kSmallestZoom = 50;
inline constexpr int kLargestZoom = 300;

int zoomPercent();
// Clamped to the range; every text that follows the zoom takes the new size at once.
void setZoomPercent(int percent);
void zoomIn();
void zoomOut();

// From now on the widget's text is drawn at its present size times the zoom.
void followZoom(QWidget& widget);

}  // namespace look
