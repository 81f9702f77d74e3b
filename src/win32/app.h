#pragma once

namespace hushgate::win32 {

// The program: start-up checks, the main window, the message loop. Returns
// the process's exit code. Seams (seams.h) are set before it is called.
int RunProgram();

}  // namespace hushgate::win32
