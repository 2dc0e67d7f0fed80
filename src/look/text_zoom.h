#pragma once

class QWidget;

// The candidate's text size: question, choice, explanation, help and score texts grow and
// shrink together in every window, from 80 % to three times their size, and the choice is kept
// for the next start.
namespace look {

// Below 80 % the texts shrink to a few pixels and stop being read.
inline constexpr int kSmallestZoom = 80;
inline constexpr int kLargestZoom = 300;

int zoomPercent();
// Clamped to the range; every text that follows the zoom takes the new size at once.
void setZoomPercent(int percent);
void zoomIn();
void zoomOut();
// Reads the kept size again, as the next start will; one outside the range reads as its end.
void reloadZoom();

// From now on the widget's text is drawn at its present size times the zoom.
void followZoom(QWidget& widget);

}  // namespace look
