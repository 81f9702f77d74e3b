#pragma once

#include <functional>

class QLabel;

namespace hushgate {

// Makes a plain label act as a link: `action` runs when the label is clicked
// with the left mouse button (pressed and released over it). The helper is a
// child of the label and lives as long as it does.
void OnLabelClick(QLabel* label, std::function<void()> action);

}  // namespace hushgate
