#pragma once

class QWidget;

// Sets the pass mark and fills the score sheet's title and pass-mark labels (lblExamTitle,
// lblPassScore) of the score window being built.
void SetPassScore(QWidget& scoreWindow);

// Sets TimeLimitMinutes from the edition; the exam clock calls it on every tick.
void SetTimeLimit();
