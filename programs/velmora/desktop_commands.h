// SPDX-License-Identifier: MIT
#pragma once
// The subcommands that look at the X display: the input sources and the running applications.

#include <ostream>
#include <string>

namespace velmora::program {

// "ID<TAB>name" for each input source. Exit status; 2 when the display cannot be reached.
int listSources(std::ostream& out);
// "identity<TAB>name" for each running application ("-" when it has no identity).
int listApps(std::ostream& out);

} // namespace velmora::program
