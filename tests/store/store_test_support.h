#pragma once
// A private temporary folder per test, and file helpers that bypass the store.

#include "run_as_user.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace velmora::store_test {

namespace fs = std::filesystem;

// The names in FOLDER, sorted.
inline std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "velmora-store-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::vector<std::string> entries() const { return entriesOf(path_); }

  private:
    std::string path_;
};

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
