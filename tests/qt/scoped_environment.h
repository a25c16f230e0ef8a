// SPDX-License-Identifier: MIT
#pragma once
// Environment variables set while the object lives, then put back as they were (unset where they
// were unset), so that no test hands its folders or language to the tests after it.

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace velmora::test_support {

struct ScopedEnvironment {
    ScopedEnvironment(std::initializer_list<std::pair<std::string, std::string>> values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            setenv(name.c_str(), value.c_str(), 1);
        }
    }
    ~ScopedEnvironment() {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it)
            it->second ? setenv(it->first.c_str(), it->second->c_str(), 1)
                       : unsetenv(it->first.c_str());
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

} // namespace velmora::test_support
