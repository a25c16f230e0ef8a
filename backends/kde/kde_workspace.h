// SPDX-License-Identifier: MIT
#pragma once
// The workspace on KWin: the front application follows the activations the KWin script tells
// of; the running applications are the windows activated since the agent started that have
// not closed, grouped by application (KWin's scripting tells of no window list at start
// without a call per window). KWin names a window's application by its desktop file name
// and its resource class; which installed application that is, the program decides
// (KdeApplicationLookup), as it does on X11 and sway.

#include "kwin_activation_script.h"

#include "platform/workspace.h"

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace velmora::kde {

struct KdeApplicationLookup {
    std::function<RunningApplication(const KWinWindow&)> identify;
    std::function<std::optional<std::string>(const std::string& bundleIdentifier)> applicationPath;
    std::function<ImagePtr(const std::string& path)> iconForFile;
    std::function<std::optional<std::string>(const std::string& path)> displayNameAtPath;
};

class KdeWorkspace final : public Workspace {
  public:
    static constexpr std::size_t kMaxWindows = 10000;

    explicit KdeWorkspace(KdeApplicationLookup lookup);

    // What the script tells. Main thread.
    void windowActivated(const KWinWindow& window);
    void windowClosed(const std::string& id);
    // The front window's frame, as KWin last told it. Main thread.
    std::optional<KWinWindow> frontWindow() const { return frontWindow_; }

    // Any thread.
    std::optional<RunningApplication> frontApplication() override;
    std::vector<RunningApplication> runningApplications() override;
    void addObserver(const std::string& name, Observer observer) override;
    std::optional<std::string> applicationPath(const std::string& bundleIdentifier) override;
    ImagePtr iconForFile(const std::string& path) override;
    std::string displayNameAtPath(const std::string& path) override;
    using URLOpener = std::function<bool(const std::string& url)>;
    void setURLOpener(URLOpener opener) { urlOpener_ = std::move(opener); }
    bool openURL(const std::string& url) override { return urlOpener_ && urlOpener_(url); }

  private:
    struct Window {
        std::string key; // of its application
        RunningApplication application;
    };

    void post(const char* name, const RunningApplication& application);

    KdeApplicationLookup lookup_;
    std::map<std::string, Window> windows_; // by KWin's window id
    std::vector<std::string> appOrder_;     // application keys, by first appearance
    std::optional<std::string> activeKey_;
    std::optional<KWinWindow> frontWindow_;
    std::map<std::string, std::vector<Observer>> observers_;
    URLOpener urlOpener_;

    mutable std::mutex frontMutex_;
    std::optional<RunningApplication> front_;
};

} // namespace velmora::kde
