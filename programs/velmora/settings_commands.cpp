// SPDX-License-Identifier: MIT
#include "settings_commands.h"

#include "rule_commands.h"

namespace velmora::program {

namespace {

bool reportProblem(PlistFileDefaults& store, std::ostream& err) {
    const std::string problem = store.problem();
    if (problem.empty())
        return false;
    err << "velmora: the settings file " << store.path() << " could not be read (" << problem
        << "); it was left as it is\n";
    return true;
}

} // namespace

bool settingsFileReadable(std::ostream& err, const std::string& path) {
    PlistFileDefaults store(path, PlistFileDefaults::Access::ReadOnly);
    return !reportProblem(store, err);
}

int listRules(std::ostream& out, std::ostream& err, const std::string& path) {
    PlistFileDefaults store(path, PlistFileDefaults::Access::ReadOnly);
    if (reportProblem(store, err))
        return 1;
    // A file that turns bad from here on changes nothing: reads keep the settings loaded above.
    Settings settings(store);
    printRules(settings, out);
    return 0;
}

} // namespace velmora::program
