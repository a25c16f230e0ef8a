// SPDX-License-Identifier: MIT
// The raw flag words of each modifier key, then the global event monitor on the display that
// x11_hotkeys.sh started (Xvfb 1280x800, us,de,ru, no window manager), keys and clicks sent by
// XTest from a second client. Ignored input is followed by a key that must arrive: events come
// in order, so nothing waits on time.

#include "pump_until.h"
#include "split_monitors.h"
#include "x11/application_identities.h"
#include "x11/x11_event_monitor.h"
#include "x11/x11_screens.h"
#include "x11/x11_workspace.h"
#include "xtest_client.h"

#include <xcb/xinput.h>

#include <gtest/gtest.h>

#include <cstring>

namespace velmora::x11 {
namespace {

// The raw word while only this key is held, as the launcher detection compares it (the
// device-dependent bits of the keyboards the detection was written for).
const std::pair<const char*, std::uint64_t> kModifierKeys[] = {
    {"LFSH", 0x20102}, {"RTSH", 0x20104}, {"LCTL", 0x40101},  {"RCTL", 0x42100},
    {"LALT", 0x80120}, {"RALT", 0x80140}, {"LWIN", 0x100108}, {"RWIN", 0x100110}};

TEST(RawModifierFlags, BothSidesKeepTheMaskUntilTheLastIsUp) {
    ModifierKeyState state;
    EXPECT_EQ(state.keyPressed(50, ModifierKey::ShiftLeft), 0x20102u);
    EXPECT_EQ(state.keyPressed(62, ModifierKey::ShiftRight), 0x20106u);
    EXPECT_EQ(state.keyReleased(50), 0x20104u);
    EXPECT_EQ(state.keyPressed(37, ModifierKey::ControlLeft), 0x60105u);
    EXPECT_EQ(state.keyReleased(62), 0x40101u);
    EXPECT_EQ(state.keyReleased(37), 0x100u);
}

TEST(RawModifierFlags, OnlyChangesOfTheFlagsAreEvents) {
    ModifierKeyState state;
    // Caps Lock toggles on its press, also when it was on before the monitor listened.
    ModifierKeyState lockedBeforeWeListened;
    lockedBeforeWeListened.setCapsLockOn(true);
    EXPECT_EQ(lockedBeforeWeListened.keyPressed(66, modifierKeyOfKeysym(XKB_KEY_Caps_Lock)),
              0x100u);
    // Events that leave the flags as they were are not delivered.
    EXPECT_EQ(state.keyPressed(38, modifierKeyOfKeysym(XKB_KEY_a)), std::nullopt);
    EXPECT_EQ(state.keyReleased(38), std::nullopt);
    // The release of a key held before the monitor started.
    EXPECT_EQ(state.keyReleased(64), std::nullopt);
    // Auto-repeat of a held key: a second press would break the double tap's press-to-press
    // measure.
    EXPECT_EQ(state.keyPressed(64, ModifierKey::OptionLeft), 0x80120u);
    EXPECT_EQ(state.keyPressed(64, ModifierKey::OptionLeft), std::nullopt);
    // Key codes outside the core range, as a server may send.
    EXPECT_EQ(state.keyPressed(256, ModifierKey::ShiftLeft), std::nullopt);
    EXPECT_EQ(state.keyPressed(0xFFFFFFFFu, ModifierKey::ShiftLeft), std::nullopt);
    EXPECT_EQ(state.keyReleased(0xFFFFFFFFu), std::nullopt);
    EXPECT_EQ(state.flags(), 0x80120u);
}

// The keyboard and mouse that XTest drives, with the input devices a user plugs and unplugs.
class FakeInput : public XTestClient {
  public:
    void key(const char* name, bool press) {
        fake(press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycodeOfName(name));
        sync();
    }
    void tap(const char* name) {
        key(name, true);
        key(name, false);
    }
    void click(std::uint8_t button, std::int16_t x, std::int16_t y) {
        fake(XCB_MOTION_NOTIFY, 0, x, y);
        fake(XCB_BUTTON_PRESS, button);
        fake(XCB_BUTTON_RELEASE, button);
        sync();
    }
    void unlockModifiers() { lockModifiers(0); }
    // A second master pointer and keyboard, named NAME; this connection's keys go through it
    // from now on. Returns the master keyboard's id, 0 when it could not be made.
    std::uint16_t addMasterAndTypeThroughIt(const std::string& name) {
        std::vector<std::uint8_t> change(8 + (name.size() + 3) / 4 * 4, 0);
        const std::uint16_t header[3] = {1 /* AddMaster */, std::uint16_t(change.size() / 4),
                                         std::uint16_t(name.size())};
        std::memcpy(change.data(), header, sizeof header);
        change[6] = 1; // send core events
        change[7] = 1; // enabled
        std::memcpy(change.data() + 8, name.data(), name.size());
        xcb_input_xi_change_hierarchy(
            xcb(), 1, reinterpret_cast<const xcb_input_hierarchy_change_t*>(change.data()));
        const std::uint16_t pointer = deviceNamed(name + " pointer");
        const std::uint16_t keyboard = deviceNamed(name + " keyboard");
        if (pointer)
            xcb_input_xi_set_client_pointer(xcb(), XCB_WINDOW_NONE, pointer);
        sync();
        return keyboard;
    }
    // The master goes, its devices float; this connection types through the core keyboard.
    void removeMaster(std::uint16_t keyboard) {
        const std::uint16_t change[6] = {2 /* RemoveMaster */, 3, keyboard, 2 /* floating */, 0, 0};
        xcb_input_xi_change_hierarchy(
            xcb(), 1, reinterpret_cast<const xcb_input_hierarchy_change_t*>(change));
        xcb_input_xi_set_client_pointer(xcb(), XCB_WINDOW_NONE, 2 /* the core pointer */);
        sync();
    }

  private:
    std::uint16_t deviceNamed(const std::string& name) {
        XcbReply<xcb_input_xi_query_device_reply_t> reply(xcb_input_xi_query_device_reply(
            xcb(), xcb_input_xi_query_device(xcb(), XCB_INPUT_DEVICE_ALL), nullptr));
        if (!reply)
            return 0;
        for (auto it = xcb_input_xi_query_device_infos_iterator(reply.get()); it.rem;
             xcb_input_xi_device_info_next(&it))
            if (std::string(xcb_input_xi_device_info_name(it.data), it.data->name_len) == name)
                return it.data->deviceid;
        return 0;
    }
};

class EventMonitorOnDisplay : public ::testing::Test {
  protected:
    void SetUp() override {
        input_.unlockModifiers();
        std::string error;
        connection_ = X11Connection::open("", &error);
        ASSERT_TRUE(connection_) << error;
        monitor_ = std::make_unique<X11EventMonitor>(
            *connection_, [this](const std::string& line) { log_.push_back(line); });
        ASSERT_TRUE(monitor_->listening());
        monitor_->addGlobalMonitor(EventMask::FlagsChanged,
                                   [this](const Event& event) { flags_.push_back(event); });
        monitor_->addGlobalMonitor(EventMask::LeftMouseUp,
                                   [this](const Event& event) { mouseUps_.push_back(event); });
        // The selection reaches the server before the fake input does.
        roundTrip(connection_->xcb());
    }
    void TearDown() override { input_.unlockModifiers(); }

    // Hands out events until COUNT flag events came; false when a generous deadline passed.
    bool flagEvents(std::size_t count) {
        return x11::pumpUntil(*connection_, [&] { return flags_.size() >= count; });
    }
    template <typename Done> bool pumpUntil(Done done) {
        return x11::pumpUntil(*connection_, done);
    }
    bool mouseUpEvents(std::size_t count) {
        return x11::pumpUntil(*connection_, [&] { return mouseUps_.size() >= count; });
    }

    FakeInput input_;
    std::unique_ptr<X11Connection> connection_;
    std::unique_ptr<X11EventMonitor> monitor_;
    std::vector<std::string> log_;
    std::vector<Event> flags_;
    std::vector<Event> mouseUps_;
};

TEST_F(EventMonitorOnDisplay, EachModifierKeyReportsItsRawWord) {
    for (const auto& [name, pressed] : kModifierKeys) {
        SCOPED_TRACE(name);
        const std::size_t before = flags_.size();
        input_.tap(name);
        ASSERT_TRUE(flagEvents(before + 2));
        EXPECT_EQ(flags_[before].type, EventType::FlagsChanged);
        EXPECT_EQ(flags_[before].modifierFlags, pressed);
        EXPECT_EQ(flags_[before + 1].modifierFlags, 0x100u);
        EXPECT_LE(flags_[before].timestamp, flags_[before + 1].timestamp);
    }
    // Caps Lock and a held Shift give the locked words.
    const std::size_t before = flags_.size();
    input_.tap("CAPS");
    input_.tap("RTSH");
    input_.tap("CAPS");
    ASSERT_TRUE(flagEvents(before + 4));
    EXPECT_EQ(std::vector<std::uint64_t>(
                  {flags_[before].modifierFlags, flags_[before + 1].modifierFlags,
                   flags_[before + 2].modifierFlags, flags_[before + 3].modifierFlags}),
              std::vector<std::uint64_t>({0x10100, 0x30104, 0x10100, 0x100}));
    EXPECT_TRUE(mouseUps_.empty());
    EXPECT_TRUE(log_.empty());
}

TEST_F(EventMonitorOnDisplay, OnlyModifiersAndLeftReleasesAreSeen) {
    std::vector<EventType> both;
    monitor_->addGlobalMonitor(EventMask::FlagsChanged | EventMask::LeftMouseUp,
                               [&both](const Event& event) { both.push_back(event.type); });
    input_.tap("AC01");
    input_.tap("SPCE");
    input_.click(3, 10, 10);
    input_.click(2, 10, 10);
    // The sentinels: a key and a left click that do arrive, after the ignored input.
    input_.key("LFSH", true);
    input_.click(1, 30, 40);
    input_.key("LFSH", false);
    ASSERT_TRUE(flagEvents(2));
    ASSERT_TRUE(mouseUpEvents(1));
    EXPECT_EQ(flags_[0].modifierFlags, 0x20102u);
    EXPECT_EQ(flags_.size(), 2u);
    EXPECT_EQ(mouseUps_[0].type, EventType::LeftMouseUp);
    // Every handler whose mask matches runs, and sees only the types of its mask.
    EXPECT_EQ(both, (std::vector<EventType>{EventType::FlagsChanged, EventType::LeftMouseUp,
                                            EventType::FlagsChanged}));
}

TEST_F(EventMonitorOnDisplay, ABurstOfKeysWhileTheMonitorGoesAwayDoesNoHarm) {
    for (int i = 0; i < 200; ++i)
        input_.tap(i % 2 ? "LALT" : "AC02");
    ASSERT_TRUE(flagEvents(200));
    for (std::size_t i = 0; i < flags_.size(); ++i)
        ASSERT_EQ(flags_[i].modifierFlags, i % 2 ? 0x100u : 0x80120u) << i;
    // Events already queued for a monitor that is gone reach nobody.
    input_.tap("LALT");
    monitor_.reset();
    connection_->pump();
    EXPECT_EQ(flags_.size(), 200u);
}

TEST_F(EventMonitorOnDisplay, AKeyboardRemovedWithAModifierDownLeavesNothingHeld) {
    const std::uint16_t keyboard = input_.addMasterAndTypeThroughIt("velmora-test");
    ASSERT_NE(keyboard, 0u);
    input_.key("LFSH", true);
    ASSERT_TRUE(flagEvents(1));
    EXPECT_EQ(flags_[0].modifierFlags, 0x20102u);
    // Unplugged with Shift down: no release comes from it. Right Shift on the keyboard that
    // stays must read as held alone, and its release as no modifier.
    input_.removeMaster(keyboard);
    input_.tap("RTSH");
    // Until right Shift's press (its bit 0x4) and release came, whatever came before.
    ASSERT_TRUE(pumpUntil([&] {
        return flags_.size() >= 3 && (flags_[flags_.size() - 2].modifierFlags & 0x4) &&
               !(flags_.back().modifierFlags & 0x4);
    }));
    EXPECT_EQ(flags_[flags_.size() - 2].modifierFlags, 0x20104u);
    EXPECT_EQ(flags_.back().modifierFlags, 0x100u);
}

// The pointer is asked for when the release is handled, the origin at the bottom left of the
// monitor at the origin (one monitor: tests/e2e/address_bar.sh).
TEST_F(EventMonitorOnDisplay, ClicksFlipByTheMonitorAtTheOrigin) {
    SplitMonitors split(*connection_);
    input_.click(1, 100, 200); // on the shorter monitor at the origin
    ASSERT_TRUE(mouseUpEvents(1));
    input_.click(1, 700, 799); // at the bottom of the taller one, beside it
    ASSERT_TRUE(mouseUpEvents(2));
    EXPECT_EQ(mouseUps_[0].locationInScreen, (Point{100, 600 - 200}));
    EXPECT_EQ(mouseUps_[1].locationInScreen, (Point{700, 600 - 799}));

    ApplicationIdentities identities(*connection_);
    X11Workspace workspace(*connection_, identities, [](const std::string&) {});
    X11Screens screens(*connection_, workspace);
    // No active window: the main screen is the primary monitor (with one: the services test).
    EXPECT_EQ(screens.mainScreen()->number, std::int32_t(split.left));
}

} // namespace
} // namespace velmora::x11
