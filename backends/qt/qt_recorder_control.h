// SPDX-License-Identifier: MIT
#pragma once
// The program's shortcut recorder as a view: the recorder widget, its value as the program
// stores shortcuts (a dictionary of the integers "keyCode" and "modifierFlags"), and its
// delegate, told at the end of every recording.

#include "qt_view.h"
#include "recorder_widget.h"

#include "platform/controls.h"

namespace velmora::qt {

class QtShortcutRecorder final : public QtView<TaggedShortcutRecorder> {
  public:
    explicit QtShortcutRecorder(KeyTranslation keys = {});
    ~QtShortcutRecorder() override;

    // A value that is no such dictionary, or has a key code or flags out of range, shows an
    // empty recorder.
    void setObjectValue(std::optional<PlistValue> value) override;
    std::optional<PlistValue> objectValue() const override;
    void setAllowedModifierFlags(std::uint64_t allowed, std::uint64_t required,
                                 bool allowsEmpty) override;
    void setDelegate(ShortcutRecorderDelegate* delegate) override { delegate_ = delegate; }

    // nullptr once Qt has deleted it.
    RecorderWidget* recorder() const;

  private:
    ShortcutRecorderDelegate* delegate_ = nullptr;
};

} // namespace velmora::qt
