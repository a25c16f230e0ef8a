// SPDX-License-Identifier: MIT
#pragma once
// The open panel: the user picks a file or folder (on X11, a desktop file in the XDG
// applications folder stands for an application bundle). Main thread only.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velmora {

struct DialogResult {
    enum : std::int64_t { Rejected = 0, Accepted = 1 };
};

class OpenPanel {
  public:
    using CompletionHandler = std::function<void(std::int64_t result)>;

    OpenPanel() = default;
    OpenPanel(const OpenPanel&) = delete;
    OpenPanel& operator=(const OpenPanel&) = delete;
    virtual ~OpenPanel() = default;

    virtual void setCanCreateDirectories(bool can) = 0;
    virtual void setCanChooseDirectories(bool can) = 0;
    virtual void setCanChooseFiles(bool can) = 0;
    virtual void setAllowsMultipleSelection(bool allows) = 0;
    // The folder the panel starts in (a path).
    virtual void setDirectoryURL(const std::string& path) = 0;
    // Shows the panel and returns at once. HANDLER runs once, later, on the main thread, with
    // DialogResult::Accepted or DialogResult::Rejected; the panel lives until it has run.
    virtual void beginWithCompletionHandler(CompletionHandler handler) = 0;
    // The paths chosen, in order; empty before an OK answer.
    virtual std::vector<std::string> URLs() const = 0;
};

} // namespace velmora
