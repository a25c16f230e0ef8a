// SPDX-License-Identifier: MIT
// velmora-sim: runs the agent on the simulated desktop from a scenario file and prints the
// trace of everything it did to the desktop.

#include "scenario_runner.h"
#include "sim_desktop.h"
#include "store/plist_file_defaults.h"

#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

namespace {

void usage(std::ostream& out) {
    out << "usage: velmora-sim [--no-trace] [--defaults-file PATH] FILE|-\n"
           "Runs a scenario on the simulated desktop and prints the trace.\n"
           "Exit status: 0 every expect held, 1 an expect failed, 2 the file could not be\n"
           "read or parsed (nothing ran).\n";
}

} // namespace

int main(int argc, char** argv) {
    bool trace = true;
    std::string defaultsFile;
    std::string scenarioPath;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--no-trace") {
            trace = false;
        } else if (arg == "--defaults-file") {
            if (i + 1 >= argc) {
                std::cerr << "velmora-sim: --defaults-file needs a path\n";
                return 2;
            }
            defaultsFile = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            usage(std::cout);
            return 0;
        } else if (arg != "-" && arg.starts_with("-")) {
            std::cerr << "velmora-sim: unknown option " << arg << '\n';
            usage(std::cerr);
            return 2;
        } else if (scenarioPath.empty()) {
            scenarioPath = arg;
        } else {
            std::cerr << "velmora-sim: only one scenario file may be given\n";
            return 2;
        }
    }
    if (scenarioPath.empty()) {
        usage(std::cerr);
        return 2;
    }

    std::stringstream text;
    if (scenarioPath == "-") {
        text << std::cin.rdbuf();
    } else {
        std::ifstream file(scenarioPath, std::ios::binary);
        if (!file) {
            std::cerr << "error line 0: cannot read " << scenarioPath << ": "
                      << std::strerror(errno) << '\n';
            return 2;
        }
        text << file.rdbuf();
    }

    std::unique_ptr<velmora::PlistFileDefaults> store;
    if (!defaultsFile.empty())
        store = std::make_unique<velmora::PlistFileDefaults>(defaultsFile);

    velmora::sim::SimDesktop desktop(store.get());
    if (trace)
        desktop.trace().setOutput(&std::cout);
    int status = velmora::sim::runScenarioStream(text, desktop, std::cerr);
    if (store)
        store->synchronize();
    return status;
}
