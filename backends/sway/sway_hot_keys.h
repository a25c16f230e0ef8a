// SPDX-License-Identifier: MIT
#pragma once
// Global hotkeys on sway, which lets no other client grab keys: each one is a sway binding,
// "bindcode --no-repeat COMBO nop velmora-hotkey-PID-N", made through IPC. sway runs nothing
// for a nop; its binding event names the command, and that is the press (no process per
// press). Bindings are made on the key's position (a key code), so a shortcut stays on its key
// whichever layout is active, as on X11. They are removed when unregistered and at exit. A
// binding of the user's on the same combination is replaced while the agent runs.
//
// Main thread only.

#include "sway_ipc.h"

#include "platform/hot_keys.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora::sway {

class SwayGlobalShortcuts final : public GlobalShortcuts {
  public:
    // The sway combination ("Mod4+Ctrl+38") of a stored key combo; none, with PROBLEM set,
    // when it has none.
    using Combination =
        std::function<std::optional<std::string>(const PlistValue& combo, std::string* problem)>;
    using Log = std::function<void(const std::string& line)>;

    SwayGlobalShortcuts(SwayIpc& ipc, Combination combination, Log log);
    ~SwayGlobalShortcuts() override;
    SwayGlobalShortcuts(const SwayGlobalShortcuts&) = delete;
    SwayGlobalShortcuts& operator=(const SwayGlobalShortcuts&) = delete;

    void registerHotKey(const HotKeyPtr& hotKey) override;
    void unregisterHotKey(const HotKeyPtr& hotKey) override;
    HotKeyPtr hotKeyWithIdentifier(const std::string& identifier) override;

  private:
    struct Registration {
        HotKeyPtr hotKey;
        std::optional<std::string> combination; // none: registered but silent
        std::string command;                    // what sway's binding event names
    };

    void bind(const Registration& registration);
    void onBinding(const QJsonObject& event);
    void sayOnce(const std::string& line);

    SwayIpc& ipc_;
    Combination combination_;
    Log log_;
    std::vector<Registration> registrations_;
    unsigned next_ = 0;
    std::set<std::string> said_;
};

} // namespace velmora::sway
