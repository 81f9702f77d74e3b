#pragma once

#include <QString>

#include "hosts_changer.h"
#include "qt_language_file.h"

namespace hushgate {

// What the window says, in `language`, when a change made through pkexec did
// not happen.
// Empty when there is nothing to say here: the change was made (the window
// then gives its usual advice), the user dismissed the password dialog, or
// the engine failed in this process (its own error text says why).
QString HostsChangeMessage(const HostsChangeOutcome& outcome, const QtLanguageFile& language);

}  // namespace hushgate
