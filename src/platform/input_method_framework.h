// SPDX-License-Identifier: MIT
#pragma once
// An input-method framework (Fcitx5, IBus) as a provider of input sources. While it runs it
// owns the keyboard layouts, so the agent takes its input sources instead of the keymap's.
// Its sources' IDs carry the framework's prefix ("fcitx5:pinyin", "ibus:libpinyin"); a search
// for a layout ID ("xkb:de") finds the framework's entry for that layout, so rules made before
// the framework started keep working.

#include "platform/text_input_sources.h"

#include <functional>
#include <string>

namespace velmora {

class InputMethodFramework : public InputSources {
  public:
    using RunningChanged = std::function<void()>;

    // The framework's name as users know it ("Fcitx5").
    virtual std::string frameworkName() const = 0;
    // Whether the framework is on the bus and has told its input sources. Main thread.
    virtual bool running() const = 0;
    // CALLBACK runs on the main thread after running() changed, and after the framework's
    // owner on the bus changed (a restart), which may not change running().
    virtual void setRunningChanged(RunningChanged callback) = 0;
    // The desktop brought another application to the front. The framework's own focus follows
    // a moment later, when the application's toolkit tells it; a framework that selects for
    // the input context it has focused waits for that before it selects. Main thread.
    virtual void frontApplicationChanged() {}
};

} // namespace velmora
