// SPDX-License-Identifier: MIT
#pragma once
// A private temporary folder per test, programs to point entries at, and a way to run a step
// without root's power to write anywhere.

#include "platform/login_items.h"

#include "run_as_user.h"
#include "temp_folder.h"

#include <filesystem>
#include <optional>
#include <string>

namespace velmora::xdg_test {

namespace fs = std::filesystem;

using test_support::entriesOf;
using test_support::readFile;
using test_support::runUnprivileged;
using test_support::TempFolder;
using test_support::writeFile;

// An executable file at PATH (folders made); its path as the resolver reports it.
inline std::string makeProgram(const std::string& path) {
    fs::create_directories(fs::path(path).parent_path());
    writeFile(path, "#!/bin/sh\n");
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    return fs::canonical(path).string();
}

inline std::string entry(const std::string& exec, const std::string& more = "") {
    return "[Desktop Entry]\nType=Application\nName=Some program\nExec=" + exec + "\n" + more;
}

// The program's entry as the login-item operations pick it: the first whose program is URL.
inline LoginItemPtr firstEntryFor(LoginItemsList& list, const std::string& url) {
    for (const LoginItemPtr& item : list.snapshot())
        if (list.resolvedPath(*item) == url)
            return item;
    return nullptr;
}

} // namespace velmora::xdg_test
