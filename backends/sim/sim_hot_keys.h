// SPDX-License-Identifier: MIT
#pragma once
// Global hotkeys on the simulated desktop: registrations kept in order, each change traced,
// and key presses that fire every registration of exactly that combination.

#include "platform/hot_keys.h"
#include "trace.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::sim {

// A whole number as the trace prints hexadecimal values: "0x" and lowercase digits, a "-"
// in front of a negative one.
std::string hexNumber(std::int64_t value);
// A number field of a key combination as an integer (a real truncated and saturated); 0 when
// the combination is no dictionary or the field is missing or no number.
std::int64_t comboField(const PlistValue& keyCombo, const char* field);
// "KEYCODE:0xMODS" of a key combination.
std::string describeKeyCombo(const PlistValue& keyCombo);

class SimGlobalShortcuts final : public GlobalShortcuts {
  public:
    explicit SimGlobalShortcuts(Trace& trace) : trace_(trace) {}

    void registerHotKey(const HotKeyPtr& hotKey) override;
    void unregisterHotKey(const HotKeyPtr& hotKey) override;
    HotKeyPtr hotKeyWithIdentifier(const std::string& identifier) override;

    // The user presses KEYCODE with MODIFIERFLAGS: every registered hotkey whose combination
    // holds exactly these two numbers fires, in the order of registration.
    void press(std::int64_t keyCode, std::int64_t modifierFlags);
    // "hotkey ID KEYCODE:0xMODS" per registration, sorted by ID (stable).
    std::vector<std::string> describeRegistrations() const;
    const std::vector<HotKeyPtr>& registered() const { return registered_; }

  private:
    Trace& trace_;
    std::vector<HotKeyPtr> registered_;
};

} // namespace velmora::sim
