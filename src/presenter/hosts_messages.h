#pragma once

#include "hosts_change.h"
#include "hosts_engine.h"
#include "language_file.h"
#include "text.h"

namespace hushgate {

// The sentence a message box shows for a failed read or write of the hosts
// file, in the language of `language`: which file, what the system said, and
// what the user can do. Made from the parts of the error, not its English
// what(). `elevated`: this process has administrator rights already, so
// advising to start it with them would be no help.
Text DescribeHostsError(const HostsError& error,
                        const LanguageFile& language = LanguageFile::builtInEnglish(),
                        bool elevated = RunsWithAdministratorRights());

// What the window says, in `language`, of what a read found of an earlier,
// interrupted change: undone, its record set aside, or a record ignored.
Text RecoveryNoticeMessage(const RecoveryNotice& notice, const LanguageFile& language);

// What the window says, in `language`, when a change made through pkexec did
// not happen. Empty when there is nothing to say here: the change was made
// (the window then gives its usual advice), the user dismissed the password
// dialog, or the engine failed in this process (its own error text says why).
Text HostsChangeMessage(const HostsChangeOutcome& outcome, const LanguageFile& language);

}  // namespace hushgate
