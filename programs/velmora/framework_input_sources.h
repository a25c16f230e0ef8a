// SPDX-License-Identifier: MIT
#pragma once
// The input sources the agent works with: those of the first input-method framework that runs
// (in the order given: Fcitx5 before IBus), else the keymap's layouts. A framework that starts,
// restarts or goes away while the agent runs switches the sources over; the agent hears of it
// as of a new keymap, and the change is said once.

#include "platform/distributed_notifications.h"
#include "platform/input_method_framework.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora::program {

class FrameworkInputSources final : public InputSources {
  public:
    using Post = std::function<void(DesktopBroadcast)>;
    using Log = std::function<void(const std::string&)>;

    // LAYOUTS and every framework outlive this object. POST announces a switch-over to the
    // agent; LOG says it to the user.
    FrameworkInputSources(InputSources& layouts, std::vector<InputMethodFramework*> frameworks,
                          Post post, Log log);
    ~FrameworkInputSources() override;

    std::optional<InputSource> currentSource() override;
    std::vector<InputSource> sourcesMatching(const std::optional<std::string>& id,
                                             bool includeAllInstalled) override;
    // SOURCE is looked up again among the current provider's sources: one listed by a
    // provider that has gone since is not selected.
    void select(const InputSource& source) override;
    // While a framework runs, the address bar's Latin layout is its entry for "xkb:us".
    bool isSameSource(const std::string& id, const std::string& currentID) override;

    // The desktop brought another application to the front (see InputMethodFramework).
    void frontApplicationChanged() {
        if (active_)
            active_->frontApplicationChanged();
    }

    // The framework whose sources are used; nullptr for the keymap's layouts.
    InputMethodFramework* activeFramework() const { return active_; }

  private:
    InputSources& provider();
    void frameworksChanged();

    InputSources& layouts_;
    std::vector<InputMethodFramework*> frameworks_;
    Post post_;
    Log log_;
    InputMethodFramework* active_ = nullptr;
    bool toldBothRunning_ = false;
};

} // namespace velmora::program
