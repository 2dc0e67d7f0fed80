#pragma once

#include <vector>

#include "look/choice_names.h"

// Where a choice's selectors stand beside its text.
namespace look {

// Each selector of a row stands level with the first line of the row's text, at any text size
// and in every look, however tall the row grows: the eye goes from the box straight to the
// words. The text must start at the top of its layout cell (filling it, or aligned to its top).
void alignChoiceRows(const std::vector<ChoiceRow>& rows);

}  // namespace look
