// SPDX-License-Identifier: MIT
#pragma once
// What Wayland does not give a client on KDE either: the keyboard's and mouse's global events
// (the browser address-bar switch and the launcher modifiers need them). Never reports an
// event; says once what stays off. Main thread.

#include "platform/event_monitor.h"

#include <functional>
#include <string>

namespace velmora::kde {

class NoGlobalEvents final : public EventMonitor {
  public:
    explicit NoGlobalEvents(std::function<void(const std::string&)> log) : log_(std::move(log)) {}
    void addGlobalMonitor(std::uint64_t mask, Handler handler) override;

  private:
    std::function<void(const std::string&)> log_;
    bool told_ = false;
};

} // namespace velmora::kde
