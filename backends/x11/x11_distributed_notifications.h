#pragma once
// The named notifications that the core listens for. On X11 nobody else posts them: the XKB
// service posts the input-source-changed one when the keyboard group changes.

#include "platform/distributed_notifications.h"

#include <map>
#include <string>
#include <vector>

namespace velmora::x11 {

class X11DesktopBroadcasts final : public DesktopBroadcasts {
  public:
    void addObserver(const std::string& name, Callback callback) override;
    // Calls the observers of NAME at once. Main thread.
    void post(const std::string& name);

  private:
    std::map<std::string, std::vector<Callback>> observers_;
};

} // namespace velmora::x11
