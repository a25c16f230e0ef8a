// SPDX-License-Identifier: MIT
#pragma once
// Global hotkeys on KDE. Wayland lets no client grab keys; KDE's global shortcuts service
// (org.kde.kglobalaccel) would bind them for the agent. This centre keeps the registrations
// (so the settings show them) and says once why they stay silent: the service is not running,
// or the agent does not bind through it yet.
//
// Main thread only.

#include "platform/hot_keys.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora::kde {

class KdeGlobalShortcuts final : public GlobalShortcuts {
  public:
    using Log = std::function<void(const std::string& line)>;
    // SERVICERUNS: whether org.kde.kglobalaccel has an owner on the session bus.
    KdeGlobalShortcuts(bool serviceRuns, Log log)
        : serviceRuns_(serviceRuns), log_(std::move(log)) {}

    void registerHotKey(const HotKeyPtr& hotKey) override;
    void unregisterHotKey(const HotKeyPtr& hotKey) override;
    HotKeyPtr hotKeyWithIdentifier(const std::string& identifier) override;

  private:
    bool serviceRuns_;
    Log log_;
    std::vector<HotKeyPtr> registered_;
    bool told_ = false;
};

} // namespace velmora::kde
