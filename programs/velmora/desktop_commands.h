#pragma once
// The subcommands that look at the X display: the input sources and the running applications.

#include <ostream>
#include <string>

namespace velmora::program {

// "ID<TAB>name" for each input source. Exit status; 2 when the display cannot be reached.
int listSources(std::ostream& out);
// "identity<TAB>name" for each running application ("-" when it has no identity).
int listApps(std::ostream& out);
// Says on ERR when SOURCEID is not one of the display's layouts now (a typo, or a layout not
// configured yet). Says nothing when there is no display to ask: rules are written without one.
void noteUnknownSource(const std::string& sourceId, std::ostream& err);

} // namespace velmora::program
