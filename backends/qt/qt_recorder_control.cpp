// SPDX-License-Identifier: MIT
#include "qt_recorder_control.h"

namespace velmora::qt {

namespace {

constexpr std::int64_t kLargestKeyCode = 0xFFFF;

std::optional<RecordedShortcut> shortcutOf(const std::optional<PlistValue>& value) {
    if (!value)
        return std::nullopt;
    const PlistValue* keyCode = value->find(kShortcutKeyCode);
    const PlistValue* flags = value->find(kShortcutModifierFlags);
    if (!keyCode || !flags || !keyCode->integer() || !flags->integer())
        return std::nullopt;
    if (*keyCode->integer() < 0 || *keyCode->integer() > kLargestKeyCode || *flags->integer() < 0)
        return std::nullopt;
    return RecordedShortcut{*keyCode->integer(), static_cast<std::uint64_t>(*flags->integer())};
}

} // namespace

QtShortcutRecorder::QtShortcutRecorder(KeyTranslation keys)
    : QtView(new RecorderWidget(std::move(keys))) {
    recorder()->setEndedHandler([this](RecorderWidget::Ending) {
        if (delegate_)
            delegate_->shortcutRecorderDidEndRecording(*this);
    });
}

QtShortcutRecorder::~QtShortcutRecorder() {
    // A widget inside a cell may outlive this view; it must not call back into it.
    if (RecorderWidget* widget = recorder()) {
        widget->setEndedHandler(nullptr);
        widget->cancelRecording();
    }
}

RecorderWidget* QtShortcutRecorder::recorder() const {
    return static_cast<RecorderWidget*>(widget());
}

void QtShortcutRecorder::setObjectValue(std::optional<PlistValue> value) {
    if (RecorderWidget* widget = recorder())
        widget->setShortcut(shortcutOf(value));
}

std::optional<PlistValue> QtShortcutRecorder::objectValue() const {
    RecorderWidget* widget = recorder();
    if (!widget || !widget->shortcut())
        return std::nullopt;
    const RecordedShortcut& shortcut = *widget->shortcut();
    return PlistValue(PlistDictionary{
        {kShortcutKeyCode, PlistValue(shortcut.keyCode)},
        {kShortcutModifierFlags,
         PlistValue(static_cast<std::int64_t>(shortcut.modifierFlags & 0x7FFFFFFFFFFFFFFF))}});
}

void QtShortcutRecorder::setAllowedModifierFlags(std::uint64_t allowed, std::uint64_t required,
                                                 bool allowsEmpty) {
    if (RecorderWidget* widget = recorder())
        widget->setAllowedModifierFlags(allowed, required, allowsEmpty);
}

} // namespace velmora::qt
