// SPDX-License-Identifier: MIT
// The shortcut recorder on Qt (offscreen; key events carry X's native key codes): what a
// recording takes, how it ends, that the delegate hears of every end once, and what it shows.

#include "qt/qt_recorder_control.h"
#include "qt/recorder_widget.h"
#include "qt/shortcut_text.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace velmora::qt {
namespace {

constexpr std::uint64_t kAllModifiers =
    ModifierFlag::Shift | ModifierFlag::Control | ModifierFlag::Alt | ModifierFlag::Super;

// X key code 38 is the key stored as 0 ("A" on its cap), 67 is F1 (122), 22 Backspace (51,
// nameless); nothing else is known.
KeyTranslation fakeKeys() {
    return KeyTranslation{
        .storedKeyCode = [](std::uint32_t native) -> std::optional<std::int64_t> {
            if (native == 38)
                return 0;
            if (native == 67)
                return 122;
            if (native == 22)
                return 51;
            return std::nullopt;
        },
        .label = [](std::int64_t code) -> std::string {
            return code == 0 ? "A" : code == 122 ? "F1" : "";
        },
    };
}

PlistValue combo(std::int64_t keyCode, std::int64_t flags) {
    return PlistValue(PlistDictionary{{kShortcutKeyCode, PlistValue(keyCode)},
                                      {kShortcutModifierFlags, PlistValue(flags)}});
}

struct CountingDelegate : ShortcutRecorderDelegate {
    void shortcutRecorderDidEndRecording(ShortcutRecorder& control) override {
        ++ends;
        last = &control;
        seen = control.objectValue();
    }
    int ends = 0;
    ShortcutRecorder* last = nullptr;
    std::optional<PlistValue> seen;
};

class Recorders : public ::testing::Test {
  protected:
    void SetUp() override {
        control_ = std::make_shared<QtShortcutRecorder>(fakeKeys());
        control_->setDelegate(&delegate_);
        control_->setAllowedModifierFlags(kAllModifiers, 0, true);
        recorder()->resize(110, 22);
        recorder()->show();
    }
    RecorderWidget* recorder() { return control_->recorder(); }
    void click() { QTest::mouseClick(recorder(), Qt::LeftButton, {}, QPoint(20, 10)); }
    // A key as X reports it: SYMBOL is what the current layout types, NATIVE the key pressed.
    void press(int symbol, Qt::KeyboardModifiers modifiers, std::uint32_t native,
               QEvent::Type type = QEvent::KeyPress) {
        QKeyEvent event(type, symbol, modifiers, native, 0, 0);
        QApplication::sendEvent(recorder(), &event);
    }

    CountingDelegate delegate_;
    std::shared_ptr<QtShortcutRecorder> control_;
};

// Storing and the keyboard grab are driven end to end in tests/e2e/shortcuts.sh.
TEST_F(Recorders, ARecordingTakesTheKeysPositionNotItsSymbol) {
    click();
    ASSERT_TRUE(recorder()->isRecording());
    // Nor do the window's own keys; an unknown key keeps it recording, the focus not moved.
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Q, Qt::ControlModifier, 24, 0, 0);
    override.ignore();
    QApplication::sendEvent(recorder(), &override);
    EXPECT_TRUE(override.isAccepted());
    press(Qt::Key_Tab, Qt::NoModifier, 23);
    ASSERT_TRUE(recorder()->isRecording());
    // The Russian layout types "ф" on the A key: the position is what is recorded.
    press(0x0444, Qt::ControlModifier | Qt::MetaModifier | Qt::KeypadModifier, 38);
    EXPECT_EQ(control_->objectValue(), combo(0, ModifierFlag::Control | ModifierFlag::Super));
    EXPECT_EQ(delegate_.ends, 1);
    EXPECT_EQ(delegate_.seen, control_->objectValue()); // the value is there when told
    EXPECT_EQ(recorder()->displayedText(), QStringLiteral("Ctrl+Super+A"));
}

TEST_F(Recorders, KeysThatCannotBeStoredOnlyChangeThePreview) {
    control_->setObjectValue(combo(0, ModifierFlag::Control));
    click();
    EXPECT_EQ(recorder()->displayedText(), QStringLiteral("Type Shortcut"));
    press(Qt::Key_Control, Qt::NoModifier, 37);
    press(Qt::Key_Super_L, Qt::ControlModifier, 133);
    EXPECT_EQ(recorder()->displayedText(), QStringLiteral("Ctrl+Super+\u2026"));
    press(Qt::Key_Control, Qt::ControlModifier | Qt::MetaModifier, 37, QEvent::KeyRelease);
    EXPECT_EQ(recorder()->displayedText(), QStringLiteral("Super+\u2026"));
    press(Qt::Key_AltGr, Qt::MetaModifier, 108);              // a level key is no shortcut
    press(Qt::Key_Launch0, Qt::MetaModifier, 200);            // a key the table does not know
    press(Qt::Key_A, Qt::MetaModifier, 38, QEvent::KeyPress); // ... while this one is
    EXPECT_EQ(control_->objectValue(), combo(0, ModifierFlag::Super));
    EXPECT_EQ(delegate_.ends, 1);
}

TEST_F(Recorders, OnlyTheAllowedModifiersAreTaken) {
    control_->setAllowedModifierFlags(ModifierFlag::Control | ModifierFlag::Shift,
                                      ModifierFlag::Control, false);
    click();
    press(Qt::Key_A, Qt::ShiftModifier, 38); // Control is missing
    press(Qt::Key_A, Qt::NoModifier, 38);    // nothing held, and that is not allowed
    press(Qt::Key_A, Qt::AltModifier, 38);   // Alt is dropped: nothing is left
    EXPECT_TRUE(recorder()->isRecording());
    EXPECT_EQ(delegate_.ends, 0);
    press(Qt::Key_A, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier, 38);
    EXPECT_EQ(control_->objectValue(), combo(0, ModifierFlag::Control | ModifierFlag::Shift));

    // The program's recorders allow a key without modifiers.
    control_->setAllowedModifierFlags(kAllModifiers, 0, true);
    click();
    press(Qt::Key_F1, Qt::NoModifier, 67);
    EXPECT_EQ(control_->objectValue(), combo(122, 0));
    EXPECT_EQ(recorder()->displayedText(), QStringLiteral("F1"));
    // Backspace alone clears (tests/e2e/shortcuts.sh); with a modifier it is a shortcut.
    click();
    press(Qt::Key_Backspace, Qt::ShiftModifier, 22);
    EXPECT_EQ(control_->objectValue(), combo(51, ModifierFlag::Shift));
    EXPECT_EQ(recorder()->displayedText(), QStringLiteral("Shift+Key 51"));
}

TEST_F(Recorders, EscapeGivesUpKeepingTheOldValue) {
    const PlistValue old = combo(0, ModifierFlag::Alt);
    control_->setObjectValue(old);
    EXPECT_EQ(delegate_.ends, 0); // setting a value tells nobody
    click();
    press(Qt::Key_Escape, Qt::NoModifier, 9);
    EXPECT_EQ(control_->objectValue(), old);
    EXPECT_EQ(delegate_.ends, 1);
    EXPECT_FALSE(recorder()->isRecording());
}

TEST_F(Recorders, TheClearMarkClears) {
    control_->setObjectValue(combo(0, ModifierFlag::Alt));
    const QRect mark = recorder()->clearMarkRect();
    ASSERT_FALSE(mark.isEmpty());
    QTest::mouseClick(recorder(), Qt::LeftButton, {}, mark.center());
    EXPECT_EQ(control_->objectValue(), std::nullopt);
    EXPECT_FALSE(recorder()->isRecording());
    EXPECT_EQ(delegate_.ends, 1);
    EXPECT_TRUE(recorder()->clearMarkRect().isEmpty()); // nothing left to clear
}

TEST_F(Recorders, LosingTheFocusGivesUp) {
    QtShortcutRecorder second(fakeKeys());
    CountingDelegate secondDelegate;
    second.setDelegate(&secondDelegate);
    second.recorder()->resize(110, 22);
    second.recorder()->show();
    click();
    QTest::mouseClick(second.recorder(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(delegate_.ends, 1);
    EXPECT_TRUE(second.recorder()->isRecording());

    click();
    EXPECT_EQ(secondDelegate.ends, 1);
    QFocusEvent lost(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(recorder(), &lost);
    EXPECT_FALSE(recorder()->isRecording());
    click();
    recorder()->hide();
    EXPECT_FALSE(recorder()->isRecording());
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    EXPECT_EQ(delegate_.ends, 3);
    EXPECT_EQ(RecorderWidget::recordingWidget(), nullptr);
}

TEST(RecorderValues, OddStoredValuesShowAsNoShortcut) {
    QtShortcutRecorder control(fakeKeys());
    for (const PlistValue& odd :
         {PlistValue("Ctrl+A"), PlistValue(PlistDictionary{{kShortcutKeyCode, PlistValue(0)}}),
          PlistValue(PlistDictionary{{kShortcutKeyCode, PlistValue(2.5)},
                                     {kShortcutModifierFlags, PlistValue(0x40000)}}),
          combo(-1, 0x40000), combo(1 << 20, 0x40000), combo(0, -1)}) {
        control.setObjectValue(combo(0, 0x40000));
        control.setObjectValue(odd);
        EXPECT_EQ(control.objectValue(), std::nullopt);
        EXPECT_EQ(control.recorder()->displayedText(), QStringLiteral("Record Shortcut"));
    }
    control.setObjectValue(combo(7, 0x1E0000));
    EXPECT_EQ(control.objectValue(), combo(7, 0x1E0000));
    EXPECT_EQ(control.recorder()->displayedText(), QStringLiteral("Ctrl+Alt+Shift+Super+Key 7"));
    QtShortcutRecorder untranslated;
    untranslated.setObjectValue(combo(0, 0x100000));
    EXPECT_EQ(untranslated.recorder()->displayedText(), QStringLiteral("Super+Key 0"));
}

TEST(RecorderValues, AWidgetThatOutlivesItsViewNoLongerCallsIt) {
    QWidget cell;
    CountingDelegate delegate;
    auto control = std::make_shared<QtShortcutRecorder>(fakeKeys());
    control->setDelegate(&delegate);
    control->recorder()->setParent(&cell);
    control->recorder()->setGeometry(0, 0, 110, 22);
    cell.show();
    QTest::mouseClick(control->recorder(), Qt::LeftButton, {}, QPoint(10, 10));
    QPointer<RecorderWidget> widget = control->recorder();
    control.reset(); // the table let the cell's views go; Qt still holds the widget
    ASSERT_TRUE(widget);
    EXPECT_FALSE(widget->isRecording());
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, 38, 0, 0);
    QApplication::sendEvent(widget, &key);
    EXPECT_EQ(delegate.ends, 0);
}

} // namespace
} // namespace velmora::qt
