#pragma once
// A fresh folder for the running test, named after it so that parallel runs do not meet, and
// removed with everything in it when the test ends.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace velmora {

class TempFolder {
  public:
    explicit TempFolder(const std::string& prefix)
        : root(std::filesystem::temp_directory_path() /
               (prefix + "-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
    }
    ~TempFolder() { std::filesystem::remove_all(root); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes TEXT to RELATIVE below the folder, making the folders on the way.
    std::string write(const std::filesystem::path& relative, const std::string& text) const {
        const std::filesystem::path path = root / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << text;
        return path.string();
    }

    const std::filesystem::path root;
};

} // namespace velmora
