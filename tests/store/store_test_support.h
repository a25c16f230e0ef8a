// SPDX-License-Identifier: MIT
#pragma once
// File helpers that bypass the store, in the temporary folder of each test.

#include "run_as_user.h"
#include "temp_folder.h"

#include <filesystem>
#include <initializer_list>
#include <string>

namespace velmora::store_test {

namespace fs = std::filesystem;

using namespace test_support;

// A new file renamed over PATH, the way a careful program writes.
inline void replaceFile(const std::string& path, const std::string& bytes) {
    writeFile(path + ".new", bytes);
    fs::rename(path + ".new", path);
}

// An XML property list whose top-level dictionary holds BODY.
inline std::string xmlDictionary(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" + body +
           "</dict>\n</plist>\n";
}

inline std::string stringEntry(const std::string& key, const std::string& text) {
    return "<key>" + key + "</key><string>" + text + "</string>\n";
}

// "" when TEXT is one line starting with "velmora: " and holding every one of PARTS.
inline std::string oneMessageWith(const std::string& text,
                                  std::initializer_list<std::string> parts) {
    if (text.rfind("velmora: ", 0) != 0 || text.find('\n') != text.size() - 1)
        return "not one velmora: line: [" + text + "]";
    for (const auto& part : parts)
        if (text.find(part) == std::string::npos)
            return "no \"" + part + "\" in [" + text + "]";
    return "";
}

} // namespace velmora::store_test
