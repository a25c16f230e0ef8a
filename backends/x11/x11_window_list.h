// SPDX-License-Identifier: MIT
#pragma once
// The on-screen client windows, front to back, as window-list entries.
//
// Layers follow the window server levels the core knows: normal windows 0; windows kept above
// others (_NET_WM_STATE_ABOVE) 3, the floating level; docks and panels 20; notifications 25,
// the status level; menus of every kind 101, the pop-up menu level; tooltips 200; the desktop
// window the lowest level. Windows kept below others get -1, a level of our own choosing just
// under the normal one.

#include "application_identities.h"
#include "platform/window_list.h"
#include "window_facts.h"
#include "x11_connection.h"

#include <cstdint>

namespace velmora::x11 {

class X11WindowList final : public WindowList {
  public:
    X11WindowList(X11Connection& connection, ApplicationIdentities& identities)
        : connection_(connection), identities_(identities) {}

    PlistArray windowListSnapshot() override;

  private:
    std::int64_t layerOf(const WindowFacts& facts) const;

    X11Connection& connection_;
    ApplicationIdentities& identities_;
};

} // namespace velmora::x11
