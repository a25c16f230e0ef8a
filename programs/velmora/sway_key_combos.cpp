// SPDX-License-Identifier: MIT
#include "sway_key_combos.h"

#include "x11/key_positions.h"
#include "x11/stored_key_combo.h"

#include <xkbcommon/xkbcommon.h>

namespace velmora::program {

SwayKeyCombos::SwayKeyCombos() {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    if (!context)
        return;
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    keymap_ = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    xkb_context_unref(context);
}

SwayKeyCombos::~SwayKeyCombos() {
    xkb_keymap_unref(keymap_);
}

std::optional<std::int64_t> SwayKeyCombos::storedKeyCode(std::uint32_t nativeKeyCode) const {
    const char* name = keymap_ ? xkb_keymap_key_get_name(keymap_, nativeKeyCode) : nullptr;
    const x11::KeyPosition* position = name ? x11::keyPositionOfXkbName(name) : nullptr;
    return position ? std::optional<std::int64_t>(position->keyCode) : std::nullopt;
}

std::optional<std::string> SwayKeyCombos::combination(const PlistValue& value,
                                                      std::string* problem) const {
    const x11::KeyComboReading reading = x11::readStoredKeyCombo(value);
    if (!reading.combo) {
        *problem = reading.problem;
        return std::nullopt;
    }
    const x11::KeyPosition* position = x11::keyPositionOfKeyCode(reading.combo->keyCode);
    const xkb_keycode_t code =
        position && keymap_
            ? xkb_keymap_key_by_name(keymap_, std::string(position->xkbName).c_str())
            : XKB_KEYCODE_INVALID;
    if (code == XKB_KEYCODE_INVALID) {
        *problem = "no key has the stored key code " + std::to_string(reading.combo->keyCode);
        return std::nullopt;
    }
    const std::int64_t flags = reading.combo->modifierFlags;
    std::string text;
    for (const auto& [mask, name] :
         {std::pair{x11::kStoredCommandMask, "Mod4+"}, std::pair{x11::kStoredControlMask, "Ctrl+"},
          std::pair{x11::kStoredOptionMask, "Mod1+"}, std::pair{x11::kStoredShiftMask, "Shift+"}})
        if (flags & mask)
            text += name;
    return text + std::to_string(code);
}

} // namespace velmora::program
