// SPDX-License-Identifier: MIT
#pragma once
// Keyboard input sources on X11: every group of the current XKB keymap is one keyboard layout.
// The current source is the locked group, and selecting one locks its group. Group changes
// (XKB state notify) post the input-source-changed notification; a new keymap posts the
// enabled-sources-changed one and is read again the next time the sources are asked for. A
// search for one ID among all installed sources also finds a layout that the keymap lacks: it
// is listed as not enabled, by the name XKB gives it.

#include "platform/desktop_broadcast_hub.h"
#include "platform/text_input_sources.h"
#include "x11_connection.h"
#include "xkb_layout_ids.h"
#include "xkb_layout_names.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct xkb_context;

namespace velmora::x11 {

// The ID the browser address-bar switch asks for; it stands for the first "us" group.
inline constexpr const char* kLatinLayoutAlias = "com.apple.keylayout.ABC";

class XkbInputSources final : public InputSources {
  public:
    // LOG takes the lines about a missing XKB extension, an unreadable keymap and xkbcommon's
    // own warnings.
    using Log = std::function<void(const std::string& line)>;
    XkbInputSources(X11Connection& connection, DesktopBroadcastHub& notifications, Log log);
    ~XkbInputSources() override;

    std::optional<InputSource> currentSource() override;
    std::vector<InputSource> sourcesMatching(const std::optional<std::string>& id,
                                             bool includeAllInstalled) override;
    void select(const InputSource& source) override;

  private:
    void onEvent(const xcb_generic_event_t& event);
    void keymapChanged();
    void reloadIfStale();
    std::optional<std::uint8_t> lockedGroup();
    std::optional<std::uint8_t> currentGroup();

    X11Connection& connection_;
    DesktopBroadcastHub& notifications_;
    Log log_;
    xkb_context* context_ = nullptr;
    XkbLayoutNames layoutNames_;
    bool stale_ = true;
    std::vector<InputSource> sources_; // in group order
    std::optional<std::size_t> latinGroup_;
    std::optional<std::uint8_t> lastGroup_; // the group last announced as changed
    // The group as of the event being handled: the server's answers and state notifications as
    // they came, and the groups we locked since.
    std::optional<std::uint8_t> knownGroup_;
};

} // namespace velmora::x11
