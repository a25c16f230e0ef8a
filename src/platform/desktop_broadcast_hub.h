// SPDX-License-Identifier: MIT
#pragma once
// The broadcasts the core listens for, where the desktop's own services post them (no other
// process sends them to the agent). Main thread.

#include "platform/distributed_notifications.h"

#include <map>
#include <vector>

namespace velmora {

class DesktopBroadcastHub final : public DesktopBroadcasts {
  public:
    void addObserver(DesktopBroadcast broadcast, Callback callback) override;
    // Calls the observers of BROADCAST at once.
    void post(DesktopBroadcast broadcast);

  private:
    std::map<DesktopBroadcast, std::vector<Callback>> observers_;
};

} // namespace velmora
