#pragma once

// Sets TimeLimitMinutes from the edition; the exam clock calls it on every tick.
void SetTimeLimit();
