#pragma once
// File helpers that bypass the store, in the temporary folder of each test.

#include "run_as_user.h"
#include "temp_folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace velmora::store_test {

namespace fs = std::filesystem;

using test_support::entriesOf;
using test_support::TempFolder;

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// In place, the way a careless editor writes.
inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

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

using test_support::runUnprivileged;

} // namespace velmora::store_test
