// SPDX-License-Identifier: MIT
#include "input_method_frameworks.h"

#include "ibus/ibus_input_sources.h"

namespace velmora::program {

std::vector<InputMethodFramework*> InputMethodFrameworks::inOrder() const {
    std::vector<InputMethodFramework*> frameworks;
    for (const auto& framework : owned)
        frameworks.push_back(framework.get());
    return frameworks;
}

InputMethodFrameworks makeInputMethodFrameworks(std::function<void(DesktopBroadcast)> post,
                                                std::function<void(const std::string&)> log) {
    InputMethodFrameworks frameworks;
    frameworks.owned.push_back(std::make_unique<ibus::IBusInputSources>(post, log));
    return frameworks;
}

} // namespace velmora::program
