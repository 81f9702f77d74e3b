#pragma once

class QStyle;

namespace hushgate {

// The style of the windows' push buttons: the application's, plus a dotted
// frame inside the button that has the keyboard focus. Some styles (Fusion)
// draw the focused button and the default button alike, and a keyboard user
// could not tell which one Space presses and which one Enter does. One
// instance, living as long as the application.
QStyle* FocusFrameStyle();

}  // namespace hushgate
