// SPDX-License-Identifier: MIT
#pragma once
// The program a command word starts, as an absolute path without symlinks, so that it compares
// equal to the running program's own path however the entry names it.

#include <optional>
#include <string>
#include <string_view>

namespace velmora::xdg {

// WORD is an absolute path, or a bare name looked up in the folders of PATH_VARIABLE (absolute
// folders only, in order). None when nothing executable is found there, for a relative path
// with a slash (it depends on the session's working folder), and for a word that hands the
// start to another command line (an "env" or shell wrapper, a VAR=value prefix): what such an
// entry really starts is not worked out.
std::optional<std::string> resolveProgram(std::string_view word,
                                          std::optional<std::string_view> pathVariable);

} // namespace velmora::xdg
