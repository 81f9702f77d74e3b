#pragma once

namespace hushgate {

// For front ends that run as a process of their own (hushgate-cli, the root
// helper); call once, early in main. Ctrl-C, SIGTERM and SIGHUP then remove
// the temporary files of a write in progress and end the program with exit
// code 128 + the signal's number (130, 143, 129); SIGXFSZ and SIGPIPE are
// ignored, so that a file-size limit is an ordinary "File too large" error
// and a closed output never ends the program after a finished change. On
// Windows, Ctrl-C and Ctrl-Break end it with exit code 130.
//
// Whether or not this is installed, the engine holds interrupts back in the
// short step that puts a new file in place (or rewrites it in place), so no
// interrupt can leave the hosts file half-written.
void InstallInterruptHandling();

}  // namespace hushgate
