// SPDX-License-Identifier: MIT
#include "input_method_frameworks.h"

namespace velmora::program {

std::vector<InputMethodFramework*> InputMethodFrameworks::inOrder() const {
    std::vector<InputMethodFramework*> frameworks;
    for (const auto& framework : owned)
        frameworks.push_back(framework.get());
    return frameworks;
}

InputMethodFrameworks makeInputMethodFrameworks(std::function<void(const std::string&)> log) {
    InputMethodFrameworks frameworks;
    (void)log;
    return frameworks;
}

} // namespace velmora::program
