// The end of a start-up probe of hushgate-startup-bench: the process ends as
// soon as its main window has painted its first frame. Both probes (ours and
// the plain Qt window) use this same code, so the two are measured the same
// way.
#pragma once

namespace hushgate::bench {

// Call once a QApplication exists. When a QMainWindow has been painted for
// the first time and the painting has been handed to the platform (the
// event loop has come round once after it), the process exits with status
// 0 at once, without running destructors: what the parent measures ends at
// the first frame. Ends the process with status 3 if no frame comes within a
// minute (a message box waiting for a click, say).
void ExitAfterFirstFrame();

}  // namespace hushgate::bench
