#pragma once

namespace session {

// Points out of 1000 as a whole number: quotient first, then the product, then rounded toward
// minus infinity, in double precision, so 87 of 116 is exactly the pass mark. No questions
// score 0.
double examScore(int correct, int questions);

// Whole percentage of a category answered correctly, rounded the same way (29 of 50 is 57).
// A category without questions is 0.
int categoryPercent(int correct, int total);

}  // namespace session
