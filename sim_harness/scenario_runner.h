// SPDX-License-Identifier: MIT
#pragma once
// Runs parsed statements against a simulated desktop and prints show lines and failures.

#include "scenario.h"
#include "sim_desktop.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::sim {

class ScenarioRunner {
  public:
    ScenarioRunner(SimDesktop& desktop, std::ostream& failures)
        : desktop_(desktop), failures_(failures) {}

    // Runs every statement in order; stops after the program terminates. Returns the number
    // of expectations that failed.
    int run(const Scenario& scenario);

    SimDesktop& desktop() { return desktop_; }
    // Records a failed expectation of the statement on LINE.
    void fail(int line, const std::string& what);
    bool terminated() const { return terminated_; }
    void markTerminated() { terminated_ = true; }

  private:
    SimDesktop& desktop_;
    std::ostream& failures_;
    int failed_ = 0;
    bool terminated_ = false;
};

// Exit status of velmora-sim for one scenario text: 0 all held, 1 an expectation failed,
// 2 the file could not be parsed (nothing ran).
int runScenarioStream(std::istream& in, SimDesktop& desktop, std::ostream& failures);

} // namespace velmora::sim
