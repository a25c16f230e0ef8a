// SPDX-License-Identifier: MIT
#include "scenario_runner.h"

#include <ostream>

namespace velmora::sim {

int ScenarioRunner::run(const Scenario& scenario) {
    for (const auto& statement : scenario.statements) {
        statement.run(*this);
        if (desktop_.world().terminated)
            markTerminated();
        if (terminated_)
            break;
    }
    return failed_;
}

void ScenarioRunner::fail(int line, const std::string& what) {
    ++failed_;
    failures_ << "FAIL line " << line << ": " << what << '\n' << std::flush;
}

int runScenarioStream(std::istream& in, SimDesktop& desktop, std::ostream& failures) {
    Scenario scenario;
    if (auto error = parseScenario(in, scenario)) {
        failures << "error line " << error->line << ": " << error->reason << '\n';
        return 2;
    }
    ScenarioRunner runner(desktop, failures);
    return runner.run(scenario) == 0 ? 0 : 1;
}

} // namespace velmora::sim
