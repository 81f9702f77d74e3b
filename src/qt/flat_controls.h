#pragma once

class QToolBar;

namespace hushgate {

// Draws the toolbar's buttons flat (a raised edge only under the pointer) or
// raised. Asking for "not flat" changes only a toolbar that is flat.
void SetToolbarFlat(QToolBar* toolbar, bool flat);

// True when every button of the toolbar is drawn flat.
bool IsToolbarFlat(const QToolBar* toolbar);

}  // namespace hushgate
