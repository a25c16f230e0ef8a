// SPDX-License-Identifier: MIT
#pragma once
// A workspace whose desktop tells the agent of each activation (a compositor's window events),
// and whose installed applications the program knows (it reads the desktop files): the front
// application, the observers and the notices they hear, and the installed applications'
// answers. What runs is the subclass's own (ApplicationWindows).

#include "platform/workspace.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Installed applications and their files as the program knows them; a missing function knows
// nothing.
struct InstalledApplicationLookup {
    std::function<std::optional<std::string>(const std::string& bundleIdentifier)> applicationPath;
    std::function<ImagePtr(const std::string& path)> iconForFile;
    std::function<std::optional<std::string>(const std::string& path)> displayNameAtPath;
};

// A window's application, and the key it is grouped by: its bundle identifier, or else its
// process (an application that names no installed one is each process of its own).
struct ApplicationWindow {
    ApplicationWindow(RunningApplication running, std::int64_t pid);

    std::string key;
    RunningApplication application;
};

class WindowEventWorkspace : public Workspace {
  public:
    explicit WindowEventWorkspace(InstalledApplicationLookup installed)
        : installed_(std::move(installed)) {}

    // Any thread (the front as the main thread last saw it).
    std::optional<RunningApplication> frontApplication() override;
    // Main thread.
    void addObserver(const std::string& name, Observer observer) override;
    std::optional<std::string> applicationPath(const std::string& bundleIdentifier) override;
    ImagePtr iconForFile(const std::string& path) override;
    std::string displayNameAtPath(const std::string& path) override;
    // URLs go to OPENER (the desktop's URL handler); without one nothing is opened.
    using URLOpener = std::function<bool(const std::string& url)>;
    void setURLOpener(URLOpener opener) { urlOpener_ = std::move(opener); }
    bool openURL(const std::string& url) override { return urlOpener_ && urlOpener_(url); }

  protected:
    // What the desktop told. Main thread.

    // WINDOW's application started: the observers hear of it when it has windows of its own.
    void launched(const ApplicationWindow& window);
    // WINDOW is in front now; the observers hear of it when its application was not.
    void activated(const ApplicationWindow& window);

  private:
    void post(const char* name, const RunningApplication& application);

    InstalledApplicationLookup installed_;
    URLOpener urlOpener_;
    std::map<std::string, std::vector<Observer>> observers_;
    std::optional<std::string> activeKey_;

    // The front application as the main thread last saw it, for other threads.
    mutable std::mutex frontMutex_;
    std::optional<RunningApplication> front_;
};

} // namespace velmora
