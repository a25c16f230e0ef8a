// SPDX-License-Identifier: MIT
#pragma once
// xcb/xkb.h names a structure member "explicit", which is a keyword in C++.

#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <memory>

namespace velmora::x11 {

// Every XKB event shares the extension's event code and tells its kind in the second byte and
// the device in the ninth.
struct XkbAnyEvent {
    std::uint8_t response_type;
    std::uint8_t xkbType;
    std::uint16_t sequence;
    xcb_timestamp_t time;
    std::uint8_t deviceID;
};

struct KeymapDeleter {
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};

using KeymapPtr = std::unique_ptr<xkb_keymap, KeymapDeleter>;

} // namespace velmora::x11
