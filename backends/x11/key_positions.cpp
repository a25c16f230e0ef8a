// SPDX-License-Identifier: MIT
#include "key_positions.h"

#include <algorithm>
#include <array>

namespace velmora::x11 {

namespace {

// Sorted by key code, so that a look-up by code is a binary search.
constexpr std::array kPositions = {
    KeyPosition{0x00, "AC01", "A"},
    KeyPosition{0x01, "AC02", "S"},
    KeyPosition{0x02, "AC03", "D"},
    KeyPosition{0x03, "AC04", "F"},
    KeyPosition{0x04, "AC06", "H"},
    KeyPosition{0x05, "AC05", "G"},
    KeyPosition{0x06, "AB01", "Z"},
    KeyPosition{0x07, "AB02", "X"},
    KeyPosition{0x08, "AB03", "C"},
    KeyPosition{0x09, "AB04", "V"},
    // The extra key of ISO keyboards, between the left Shift and Z.
    KeyPosition{0x0A, "LSGT", "<"},
    KeyPosition{0x0B, "AB05", "B"},
    KeyPosition{0x0C, "AD01", "Q"},
    KeyPosition{0x0D, "AD02", "W"},
    KeyPosition{0x0E, "AD03", "E"},
    KeyPosition{0x0F, "AD04", "R"},
    KeyPosition{0x10, "AD06", "Y"},
    KeyPosition{0x11, "AD05", "T"},
    KeyPosition{0x12, "AE01", "1"},
    KeyPosition{0x13, "AE02", "2"},
    KeyPosition{0x14, "AE03", "3"},
    KeyPosition{0x15, "AE04", "4"},
    KeyPosition{0x16, "AE06", "6"},
    KeyPosition{0x17, "AE05", "5"},
    KeyPosition{0x18, "AE12", "="},
    KeyPosition{0x19, "AE09", "9"},
    KeyPosition{0x1A, "AE07", "7"},
    KeyPosition{0x1B, "AE11", "-"},
    KeyPosition{0x1C, "AE08", "8"},
    KeyPosition{0x1D, "AE10", "0"},
    KeyPosition{0x1E, "AD12", "]"},
    KeyPosition{0x1F, "AD09", "O"},
    KeyPosition{0x20, "AD07", "U"},
    KeyPosition{0x21, "AD11", "["},
    KeyPosition{0x22, "AD08", "I"},
    KeyPosition{0x23, "AD10", "P"},
    KeyPosition{0x24, "RTRN", "Return"},
    KeyPosition{0x25, "AC09", "L"},
    KeyPosition{0x26, "AC07", "J"},
    KeyPosition{0x27, "AC11", "'"},
    KeyPosition{0x28, "AC08", "K"},
    KeyPosition{0x29, "AC10", ";"},
    KeyPosition{0x2A, "BKSL", "\\"},
    KeyPosition{0x2B, "AB08", ","},
    KeyPosition{0x2C, "AB10", "/"},
    KeyPosition{0x2D, "AB06", "N"},
    KeyPosition{0x2E, "AB07", "M"},
    KeyPosition{0x2F, "AB09", "."},
    KeyPosition{0x30, "TAB", "Tab"},
    KeyPosition{0x31, "SPCE", "Space"},
    KeyPosition{0x32, "TLDE", "`"},
    KeyPosition{0x33, "BKSP", "Backspace"},
    KeyPosition{0x35, "ESC", "Esc"},
    KeyPosition{0x40, "FK17", "F17"},
    KeyPosition{0x41, "KPDL", "Num+."},
    KeyPosition{0x43, "KPMU", "Num+*"},
    KeyPosition{0x45, "KPAD", "Num++"},
    // The keypad's Clear key sits where PC keypads have Num Lock.
    KeyPosition{0x47, "NMLK", "NumLock"},
    KeyPosition{0x48, "VOL+", "Volume Up"},
    KeyPosition{0x49, "VOL-", "Volume Down"},
    KeyPosition{0x4A, "MUTE", "Volume Mute"},
    KeyPosition{0x4B, "KPDV", "Num+/"},
    KeyPosition{0x4C, "KPEN", "Num+Enter"},
    KeyPosition{0x4E, "KPSU", "Num+-"},
    KeyPosition{0x4F, "FK18", "F18"},
    KeyPosition{0x50, "FK19", "F19"},
    KeyPosition{0x51, "KPEQ", "Num+="},
    KeyPosition{0x52, "KP0", "Num+0"},
    KeyPosition{0x53, "KP1", "Num+1"},
    KeyPosition{0x54, "KP2", "Num+2"},
    KeyPosition{0x55, "KP3", "Num+3"},
    KeyPosition{0x56, "KP4", "Num+4"},
    KeyPosition{0x57, "KP5", "Num+5"},
    KeyPosition{0x58, "KP6", "Num+6"},
    KeyPosition{0x59, "KP7", "Num+7"},
    KeyPosition{0x5A, "FK20", "F20"},
    KeyPosition{0x5B, "KP8", "Num+8"},
    KeyPosition{0x5C, "KP9", "Num+9"},
    KeyPosition{0x5D, "AE13", "Yen"},
    KeyPosition{0x5E, "AB11", "Ro"},
    KeyPosition{0x60, "FK05", "F5"},
    KeyPosition{0x61, "FK06", "F6"},
    KeyPosition{0x62, "FK07", "F7"},
    KeyPosition{0x63, "FK03", "F3"},
    KeyPosition{0x64, "FK08", "F8"},
    KeyPosition{0x65, "FK09", "F9"},
    KeyPosition{0x67, "FK11", "F11"},
    KeyPosition{0x69, "FK13", "F13"},
    KeyPosition{0x6A, "FK16", "F16"},
    KeyPosition{0x6B, "FK14", "F14"},
    KeyPosition{0x6D, "FK10", "F10"},
    KeyPosition{0x6E, "COMP", "Menu"},
    KeyPosition{0x6F, "FK12", "F12"},
    KeyPosition{0x71, "FK15", "F15"},
    // Help sits where PC keyboards have Insert.
    KeyPosition{0x72, "INS", "Ins"},
    KeyPosition{0x73, "HOME", "Home"},
    KeyPosition{0x74, "PGUP", "PgUp"},
    KeyPosition{0x75, "DELE", "Del"},
    KeyPosition{0x76, "FK04", "F4"},
    KeyPosition{0x77, "END", "End"},
    KeyPosition{0x78, "FK02", "F2"},
    KeyPosition{0x79, "PGDN", "PgDown"},
    KeyPosition{0x7A, "FK01", "F1"},
    KeyPosition{0x7B, "LEFT", "Left"},
    KeyPosition{0x7C, "RGHT", "Right"},
    KeyPosition{0x7D, "DOWN", "Down"},
    KeyPosition{0x7E, "UP", "Up"},
};

static_assert(std::ranges::is_sorted(kPositions, {}, &KeyPosition::keyCode),
              "the look-up by key code is a binary search");

} // namespace

std::span<const KeyPosition> keyPositions() {
    return kPositions;
}

const KeyPosition* keyPositionOfKeyCode(std::int64_t keyCode) {
    auto found = std::ranges::lower_bound(kPositions, keyCode, {}, &KeyPosition::keyCode);
    return found != kPositions.end() && found->keyCode == keyCode ? &*found : nullptr;
}

const KeyPosition* keyPositionOfXkbName(std::string_view name) {
    auto found = std::ranges::find(kPositions, name, &KeyPosition::xkbName);
    return found != kPositions.end() ? &*found : nullptr;
}

} // namespace velmora::x11
