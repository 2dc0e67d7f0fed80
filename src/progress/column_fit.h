#pragma once

class QTableView;

namespace progress {

// Each column as wide as its heading and its widest cell, every row measured: a long custom
// exam's name far down a long history is never cut short. What does not fit the view scrolls.
void fitColumns(QTableView& view);

}  // namespace progress
