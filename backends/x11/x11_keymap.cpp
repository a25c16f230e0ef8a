// SPDX-License-Identifier: MIT
#include "x11_keymap.h"

#include "xcb_reply.h"

#include "key_positions.h"
#include "stored_key_combo.h"

#include "xcb_xkb.h"
#include <xkbcommon/xkbcommon-x11.h>

#include <cstdlib>
#include <string>

namespace velmora::x11 {

namespace {

using Keymap = KeymapPtr;

// Whether KEYCODE produces SYMBOL at any level of any group.
bool keyProduces(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_keysym_t symbol) {
    xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(keymap, keycode);
    for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
        xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, keycode, layout);
        for (xkb_level_index_t level = 0; level < levels; ++level) {
            const xkb_keysym_t* symbols = nullptr;
            int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, layout, level, &symbols);
            for (int i = 0; i < count; ++i)
                if (symbols[i] == symbol)
                    return true;
        }
    }
    return false;
}

// Which of Mod1..Mod5 holds the keys of each modifier the hotkeys care about. The keysyms
// come from the XKB keymap, the assignment from the core modifier map that clients see.
ModifierBits readModifierBits(X11Connection& connection, xkb_keymap* keymap) {
    ModifierBits bits;
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, FreeDeleter> mapping(
        xcb_get_modifier_mapping_reply(connection.xcb(), xcb_get_modifier_mapping(connection.xcb()),
                                       nullptr));
    connection.repliesAwaited();
    if (mapping) {
        const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(mapping.get());
        const int perModifier = mapping->keycodes_per_modifier;
        const int length = xcb_get_modifier_mapping_keycodes_length(mapping.get());
        // Shift, Lock and Control are fixed; Mod1..Mod5 are indices 3..7.
        for (int modifier = 3; modifier < 8; ++modifier) {
            const auto bit = static_cast<std::uint16_t>(1u << modifier);
            for (int k = 0; k < perModifier; ++k) {
                const int index = modifier * perModifier + k;
                if (index >= length || keycodes[index] == 0)
                    continue;
                const xkb_keycode_t keycode = keycodes[index];
                auto take = [&](std::uint16_t& slot, xkb_keysym_t left, xkb_keysym_t right) {
                    if (!slot &&
                        (keyProduces(keymap, keycode, left) || keyProduces(keymap, keycode, right)))
                        slot = bit;
                };
                take(bits.alt, XKB_KEY_Alt_L, XKB_KEY_Alt_R);
                take(bits.super, XKB_KEY_Super_L, XKB_KEY_Super_R);
                take(bits.numLock, XKB_KEY_Num_Lock, XKB_KEY_Num_Lock);
                take(bits.scrollLock, XKB_KEY_Scroll_Lock, XKB_KEY_Scroll_Lock);
            }
        }
    }
    // The usual places, for a modifier map that names no Alt or Super key.
    if (!bits.alt)
        bits.alt = XCB_MOD_MASK_1;
    if (!bits.super)
        bits.super = XCB_MOD_MASK_4;
    return bits;
}

} // namespace

X11Keymap::X11Keymap(std::map<std::int64_t, std::uint8_t> keycodes, ModifierBits modifiers)
    : keycodeOfKeyCode_(std::move(keycodes)), modifiers_(modifiers) {
    for (const auto& [keyCode, keycode] : keycodeOfKeyCode_)
        keyCodeOfKeycode_.emplace(keycode, keyCode);
}

std::optional<X11Keymap> X11Keymap::read(X11Connection& connection, xkb_context* context) {
    if (!connection.hasXkb() || !context)
        return std::nullopt;
    Keymap keymap(xkb_x11_keymap_new_from_device(
        context, connection.xcb(), connection.xkbDeviceId(), XKB_KEYMAP_COMPILE_NO_FLAGS));
    connection.repliesAwaited();
    if (!keymap)
        return std::nullopt;
    std::map<std::int64_t, std::uint8_t> keycodes;
    for (const KeyPosition& position : keyPositions()) {
        const std::string name(position.xkbName);
        const xkb_keycode_t keycode = xkb_keymap_key_by_name(keymap.get(), name.c_str());
        // Core key events carry 8-bit key codes; a key beyond them cannot be grabbed.
        if (keycode != XKB_KEYCODE_INVALID && keycode >= 8 && keycode <= 255)
            keycodes.emplace(position.keyCode, static_cast<std::uint8_t>(keycode));
    }
    return X11Keymap(std::move(keycodes), readModifierBits(connection, keymap.get()));
}

std::optional<std::uint8_t> X11Keymap::x11KeycodeOfKeyCode(std::int64_t keyCode) const {
    auto found = keycodeOfKeyCode_.find(keyCode);
    if (found == keycodeOfKeyCode_.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::int64_t> X11Keymap::keyCodeOfX11Keycode(std::uint32_t x11Keycode) const {
    if (x11Keycode > 255)
        return std::nullopt;
    auto found = keyCodeOfKeycode_.find(static_cast<std::uint8_t>(x11Keycode));
    if (found == keyCodeOfKeycode_.end())
        return std::nullopt;
    return found->second;
}

std::uint16_t X11Keymap::x11ModifiersOf(std::int64_t flags) const {
    std::uint16_t modifiers = 0;
    if (flags & kStoredShiftMask)
        modifiers |= XCB_MOD_MASK_SHIFT;
    if (flags & kStoredControlMask)
        modifiers |= XCB_MOD_MASK_CONTROL;
    if (flags & kStoredOptionMask)
        modifiers |= modifiers_.alt;
    if (flags & kStoredCommandMask)
        modifiers |= modifiers_.super;
    return modifiers;
}

std::uint16_t X11Keymap::comparedModifiers() const {
    return static_cast<std::uint16_t>(XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | modifiers_.alt |
                                      modifiers_.super);
}

} // namespace velmora::x11
