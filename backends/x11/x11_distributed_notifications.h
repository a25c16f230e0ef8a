// SPDX-License-Identifier: MIT
#pragma once
// The broadcasts that the core listens for. On X11 nobody else posts them: the XKB service
// posts the input-source ones when the keyboard group or the keymap changes.

#include "platform/distributed_notifications.h"

#include <map>
#include <vector>

namespace velmora::x11 {

class X11DesktopBroadcasts final : public DesktopBroadcasts {
  public:
    void addObserver(DesktopBroadcast broadcast, Callback callback) override;
    // Calls the observers of BROADCAST at once. Main thread.
    void post(DesktopBroadcast broadcast);

  private:
    std::map<DesktopBroadcast, std::vector<Callback>> observers_;
};

} // namespace velmora::x11
