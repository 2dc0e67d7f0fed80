#pragma once

// Sets TimeLimitMinutes from the edition, or from the custom exam being taken (0: untimed);
// the exam clock calls it on every tick.
void SetTimeLimit();
