#pragma once

#include <QString>

#include "hosts_engine.h"
#include "qt_language_file.h"

namespace hushgate {

// The sentence a message box shows for a failed read or write of the hosts
// file, in the language of `language`: which file, what the system said, and
// what the user can do. Made from the parts of the error, not its English
// what().
QString DescribeHostsError(const HostsError& error,
                           const QtLanguageFile& language = QtLanguageFile::builtInEnglish());

}  // namespace hushgate
