// SPDX-License-Identifier: MIT
#pragma once
// The global hotkeys of the input sources: every stored shortcut registered once at start-up,
// and each recording in the shortcut table replacing or clearing one input source's shortcut,
// in the hotkey centre and in the store alike. A hotkey's identifier is its input source's ID;
// that is the only link back from a registration to its source.
//
// Main thread only.

#include "editor/editor_lists.h"
#include "engine/settings.h"
#include "platform/application.h"
#include "platform/hot_keys.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace velmora {

class InputHotKeys {
  public:
    struct Hooks {
        // What every hotkey registered here does when pressed. It must not refer to the
        // object that registered it: start-up registers through a controller it drops at once.
        GlobalShortcut::Action hotKeyAction;
        // The shortcut table rebuilds its rows from the store.
        std::function<void()> reloadShortcutTable;
    };

    // CENTER may be nullptr: a desktop without global hotkeys registers nothing.
    InputHotKeys(Settings& settings, const EditorLists& lists, GlobalShortcuts* center,
                 Application& application, Hooks hooks)
        : settings_(settings), lists_(lists), center_(center), application_(application),
          hooks_(std::move(hooks)) {}

    // Registers a hotkey for every stored shortcut, in the dictionary's order, without
    // comparing the IDs with the catalogue. An entry that is no dictionary cannot be a key
    // combination: it is left out and logged.
    void registerAllHotKey();

    // The recorder of catalogue row ROW ended a recording holding VALUE (none: cleared). In
    // this order: the old registration of that input source ends, the new one is made, the
    // store is written and flushed, the table reloads. A row outside the catalogue does
    // nothing.
    void recordingEnded(std::int64_t row, const std::optional<PlistValue>& value);

  private:
    void registerHotKey(const std::string& identifier, const PlistValue& keyCombo);

    Settings& settings_;
    const EditorLists& lists_;
    GlobalShortcuts* center_;
    Application& application_;
    Hooks hooks_;
};

} // namespace velmora
