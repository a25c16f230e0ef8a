// SPDX-License-Identifier: MIT
#pragma once
// Keyboard input sources on sway: the layouts of sway's keyboards (GET_INPUTS). sway names
// them by their descriptions ("German"); the XKB registry's table (KNOWN) turns those into the
// IDs X11 uses, "xkb:de" or "xkb:de(nodeadkeys)", so one settings file serves both. The
// sources are every layout any keyboard has, in the order first seen; keyboards may have
// different lists. Selecting switches every keyboard that has the layout (xkb_switch_layout);
// the current source is the layout of the keyboard last heard of. sway's input events tell of
// each change, also the user's own, and of keyboards and keymaps that come and go.
//
// Main thread only.

#include "sway_ipc.h"

#include "platform/distributed_notifications.h"
#include "platform/text_input_sources.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::sway {

// The ID of the layout sway describes as DESCRIPTION; "xkb:group<N>" (N = INDEX + 1), as on
// X11 for a group without a known name, when KNOWN has no such description.
std::string inputSourceIdForDescription(const std::vector<NamedLayout>& known,
                                        const std::string& description, std::size_t index);

class SwayInputSources final : public InputSources {
  public:
    using Post = std::function<void(DesktopBroadcast)>;
    using Log = std::function<void(const std::string& line)>;
    static constexpr std::size_t kMaxKeyboards = 64;
    static constexpr std::size_t kMaxLayouts = 32; // per keyboard, as XKB has at most

    // INPUTS: sway's GET_INPUTS answer at start. POST announces changes to the agent.
    SwayInputSources(SwayIpc& ipc, const QJsonDocument& inputs, std::vector<NamedLayout> known,
                     Post post, Log log);

    std::optional<InputSource> currentSource() override;
    std::vector<InputSource> sourcesMatching(const std::optional<std::string>& id,
                                             bool includeAllInstalled) override;
    void select(const InputSource& source) override;

  private:
    struct Keyboard {
        std::string identifier;
        std::vector<std::string> ids;
        std::vector<std::string> names;
        std::optional<std::size_t> active;
    };

    void take(const QJsonObject& input);
    void onInputEvent(const QJsonObject& event);
    std::vector<std::string> enabledIds() const;
    std::optional<std::string> currentId() const;
    InputSource sourceFor(const std::string& id, std::size_t index) const;
    void announce();

    SwayIpc& ipc_;
    std::vector<NamedLayout> known_;
    Post post_;
    Log log_;
    std::vector<Keyboard> keyboards_;
    std::string currentKeyboard_; // the keyboard last heard of
    std::vector<std::string> lastEnabled_;
    std::optional<std::string> lastCurrent_;
    bool toldRefused_ = false;
};

} // namespace velmora::sway
