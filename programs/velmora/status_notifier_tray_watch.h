// SPDX-License-Identifier: MIT
#pragma once
// The tray on Wayland desktops: a StatusNotifierItem host (Plasma's panel, waybar, ...)
// registers the watcher's name on the session bus. It comes and goes with the host; the bus
// tells VIEWS, so nothing polls. Main thread.

#include "program_views.h"

#include <QDBusServiceWatcher>

namespace velmora::program {

class StatusNotifierTrayWatch {
  public:
    explicit StatusNotifierTrayWatch(ProgramViews& views);

  private:
    QDBusServiceWatcher watcher_;
};

} // namespace velmora::program
