// SPDX-License-Identifier: MIT
#pragma once
// Fcitx5's answers on D-Bus read into plain lists, bounded: a reply of the wrong type or shape
// gives none, never a crash; overlong lists and names are cut or skipped.

#include "platform/text_input_sources.h"

#include <QDBusMessage>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::fcitx5 {

inline constexpr const char* kIdPrefix = "fcitx5:";

// One input method as AvailableInputMethods tells it.
struct InputMethodEntry {
    std::string name;  // unique name: "pinyin", "keyboard-de-nodeadkeys"
    std::string label; // name shown: "Pinyin", "Keyboard - German"
    std::string icon;  // icon name in the theme: "fcitx-pinyin"
};

// The single string of REPLY (CurrentInputMethod, CurrentInputMethodGroup, DebugInfo).
std::optional<std::string> stringReply(const QDBusMessage& reply, std::size_t maxBytes);
// The input methods' names of InputMethodGroupInfo's reply (s, a(ss)), in the group's order.
std::optional<std::vector<std::string>> groupReply(const QDBusMessage& reply);
// AvailableInputMethods' reply (a(ssssssb)).
std::optional<std::vector<InputMethodEntry>> availableReply(const QDBusMessage& reply);

// Fcitx5's option "Share Input State" ("No", "All", "Program") from GetConfig's reply for its
// global configuration (a variant holding sections of options, a{sv} in a{sv}); none when the
// reply has no such text.
std::optional<std::string> shareInputStateReply(const QDBusMessage& reply);

// The input contexts that have Fcitx5's focus, by the IDs that DebugInfo shows for them, each
// with the program its toolkit named ("  IC [ID] program:NAME frontend:dbus cap:2 focus:1", one
// line each; the program empty when not shown).
std::map<std::string, std::string> focusedContexts(const std::string& debugInfo);

// The input source of the input method NAME: its ID "fcitx5:NAME", its label, and as its icon
// the program's layout badge for a keyboard layout, else the icon Fcitx5 names.
InputSource sourceOf(const std::string& name, const std::vector<InputMethodEntry>& available);

// The name of Fcitx5's input method for the layout ID "xkb:LAYOUT" or "xkb:LAYOUT(VARIANT)"
// ("keyboard-LAYOUT", "keyboard-LAYOUT-VARIANT"); none for any other ID.
std::optional<std::string> keyboardNameOfLayoutId(const std::string& id);

// Whether the input source ID is Fcitx5's for the layout ID LAYOUTID ("fcitx5:keyboard-de"
// for "xkb:de"), with which rules made without Fcitx5 name layouts.
bool standsForLayout(const std::string& id, const std::string& layoutId);

} // namespace velmora::fcitx5
