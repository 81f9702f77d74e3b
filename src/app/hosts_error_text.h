#pragma once

#include <QString>

#include "hosts_engine.h"

namespace hushgate {

// The sentence a message box shows for a failed read or write of the hosts
// file: which file, what the system said, and what the user can do.
QString DescribeHostsError(const HostsError& error);

}  // namespace hushgate
