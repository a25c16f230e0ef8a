// SPDX-License-Identifier: MIT
#pragma once
// Writes into a folder that a crash or a full disk must never leave with half a file.

#include <optional>
#include <string>

namespace velmora::xdg {

// Makes FOLDER (absolute) and every missing folder above it, mode 0700. The reason on failure,
// none on success (also when it existed already).
std::optional<std::string> makeFolders(const std::string& folder);

// Replaces FOLDER/NAME by TEXT: a temporary file in FOLDER, flushed to disk, renamed over NAME
// (a symlink of that name is replaced, never followed). The reason on failure, none on success;
// a failure leaves NAME as it was and no temporary file behind.
std::optional<std::string> replaceFile(const std::string& folder, const std::string& name,
                                       const std::string& text);

} // namespace velmora::xdg
