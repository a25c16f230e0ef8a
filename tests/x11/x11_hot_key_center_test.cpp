// SPDX-License-Identifier: MIT
// The hotkey centre on the display x11_hotkeys.sh started (Xvfb, us,de,ru, no window manager),
// keys pressed through XTest on a second connection; waits judge no time.

#include "pump_until.h"
#include "sim/sim_run_loop.h"
#include "x11/key_positions.h"
#include "x11/stored_key_combo.h"
#include "x11/x11_hot_key_center.h"
#include "xtest_client.h"

#include <xkbcommon/xkbcommon-x11.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace velmora::x11 {
namespace {

constexpr std::int64_t kA = 0x00, kF5 = 0x60, kLeft = 0x7B;

// A second client: the keyboard that XTest drives, and another program that grabs keys.
class OtherClient : public XTestClient {
  public:
    void press(xcb_keycode_t keycode, std::initializer_list<const char*> modifierKeys) {
        std::vector<xcb_keycode_t> modifiers;
        for (const char* name : modifierKeys)
            modifiers.push_back(keycodeOfName(name));
        for (xcb_keycode_t m : modifiers)
            fake(XCB_KEY_PRESS, m);
        fake(XCB_KEY_PRESS, keycode);
        fake(XCB_KEY_RELEASE, keycode);
        for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
            fake(XCB_KEY_RELEASE, *m);
        sync();
    }

    bool grab(xcb_keycode_t keycode, std::uint16_t modifiers) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(
            xcb(), xcb_grab_key_checked(xcb(), 0, root(), modifiers, keycode, XCB_GRAB_MODE_ASYNC,
                                        XCB_GRAB_MODE_ASYNC)));
        return !error;
    }
    void ungrab(xcb_keycode_t keycode, std::uint16_t modifiers) {
        xcb_ungrab_key(xcb(), keycode, root(), modifiers);
        sync();
    }
};

PlistValue combo(std::int64_t keyCode, std::int64_t modifierFlags) {
    return PlistValue(PlistDictionary{{"keyCode", keyCode}, {"modifierFlags", modifierFlags}});
}

class HotKeyCenterOnDisplay : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        connection_ = X11Connection::open("", &error);
        ASSERT_TRUE(connection_) << error;
        ASSERT_TRUE(connection_->hasXkb());
        center_ = std::make_unique<X11GlobalShortcuts>(
            *connection_, runLoop_, [this](const std::string& line) { log_.push_back(line); });
    }
    void TearDown() override { center_.reset(); }

    HotKeyPtr hotKey(const std::string& id, PlistValue keyCombo) {
        return GlobalShortcut::hotKeyWithIdentifierKeyCombo(
            id, std::move(keyCombo),
            [this](GlobalShortcut& key) { fired_.push_back(key.identifier()); });
    }

    xcb_keycode_t keycodeOf(std::int64_t keyCode) {
        auto keycode = center_->x11KeycodeOfKeyCode(keyCode);
        EXPECT_TRUE(keycode) << keyCode;
        return static_cast<xcb_keycode_t>(keycode.value_or(0));
    }

    template <typename Done> bool pumpUntil(Done done) {
        return x11::pumpUntil(*connection_, done);
    }
    // The keymap changed: once the centre has heard of it, its wait is over.
    bool keymapChangeHandled() {
        auto waiting = [&] {
            return std::ranges::any_of(runLoop_.liveTimers(),
                                       &sim::SimRunLoop::TimerState::scheduled);
        };
        if (!pumpUntil(waiting))
            return false;
        runLoop_.runUntil(runLoop_.now() + 60000);
        return true;
    }
    // The centre's requests reach the server before the other client's next ones.
    void serverHasSeenTheCenter() { roundTrip(connection_->xcb()); }
    bool firedCount(std::size_t count) {
        return pumpUntil([&] { return fired_.size() >= count; });
    }

    std::unique_ptr<X11Connection> connection_;
    sim::SimRunLoop runLoop_; // virtual time: the centre's wait after a keymap change
    std::vector<std::string> log_;
    std::vector<std::string> fired_;
    std::unique_ptr<X11GlobalShortcuts> center_;
    OtherClient other_;
};

// Stored key code -> X key code -> XKB name -> stored key code, for every entry of the table:
// each is found by its code and by its name, and none shares either with another.
TEST_F(HotKeyCenterOnDisplay, EveryKeyPositionRoundTripsThroughTheServersKeymap) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = xkb_x11_keymap_new_from_device(
        context, connection_->xcb(), connection_->xkbDeviceId(), XKB_KEYMAP_COMPILE_NO_FLAGS);
    ASSERT_NE(keymap, nullptr);
    for (const KeyPosition& position : keyPositions()) {
        auto keycode = center_->x11KeycodeOfKeyCode(position.keyCode);
        ASSERT_TRUE(keycode) << position.xkbName;
        const char* name = xkb_keymap_key_get_name(keymap, *keycode);
        ASSERT_NE(name, nullptr) << position.xkbName;
        EXPECT_EQ(name, position.xkbName); // no entry is an alias read back as another name
        EXPECT_EQ(center_->keyCodeOfX11Keycode(*keycode), position.keyCode) << position.xkbName;
        EXPECT_FALSE(position.label.empty()) << position.xkbName;
    }
    // Key codes of no listed key, and those beyond core events, have no position.
    for (xkb_keycode_t unlisted : {xkb_keymap_key_by_name(keymap, "LCTL"), 0u, 256u, 70000u})
        EXPECT_FALSE(center_->keyCodeOfX11Keycode(unlisted)) << unlisted;
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
}

// Other modifiers held do not match (Super is Command).
TEST_F(HotKeyCenterOnDisplay, OnlyTheExactModifiersFire) {
    auto controlA = hotKey("xkb:de", combo(kA, kStoredControlMask));
    auto commandA = hotKey("xkb:ru", combo(kA, kStoredCommandMask | kStoredShiftMask));
    auto plainF5 = hotKey("xkb:us", combo(kF5, 0)); // the recorder allows a bare key
    for (const HotKeyPtr& key : {controlA, commandA, plainF5}) {
        center_->registerHotKey(key);
        EXPECT_TRUE(center_->isActive(key)) << key->identifier();
    }
    const xcb_keycode_t a = keycodeOf(kA);
    // Control+Shift+A is neither hotkey: the next match must be the first thing to fire.
    other_.press(a, {"LCTL", "LFSH"});
    other_.press(a, {"LWIN", "LFSH"});
    ASSERT_TRUE(firedCount(1));
    other_.press(a, {"LCTL"});
    ASSERT_TRUE(firedCount(2));
    other_.press(keycodeOf(kF5), {});
    ASSERT_TRUE(firedCount(3));
    EXPECT_EQ(fired_, (std::vector<std::string>{"xkb:ru", "xkb:de", "xkb:us"}));
    EXPECT_TRUE(log_.empty()) << log_.front();
}

// Values that name no key and unknown modifier bits are said once however often registered (a
// grab another program holds: tests/e2e/hotkeys.sh); the hotkey stays registered.
TEST_F(HotKeyCenterOnDisplay, EachProblemIsSaidOnce) {
    std::vector<HotKeyPtr> keys = {
        hotKey("string", PlistValue("Control-A")),
        hotKey("negative", combo(-1, kStoredControlMask)),
        hotKey("huge", combo(std::int64_t{1} << 40, kStoredControlMask)),
        hotKey("unlisted", combo(0x34, kStoredControlMask)),
        hotKey("no-flags", PlistValue(PlistDictionary{{"keyCode", kA}})),
    };
    for (const HotKeyPtr& key : keys) {
        center_->registerHotKey(key);
        center_->registerHotKey(hotKey(key->identifier(), key->keyCombo()));
    }
    for (const HotKeyPtr& key : keys) {
        EXPECT_EQ(center_->hotKeyWithIdentifier(key->identifier()), key);
        EXPECT_FALSE(center_->isActive(key));
        const std::string said = "hotkey of " + key->identifier() + " ";
        EXPECT_EQ(
            std::ranges::count_if(log_, [&](auto& line) { return line.find(said) != line.npos; }),
            1)
            << key->identifier();
    }
    EXPECT_EQ(log_.size(), keys.size());

    // Unknown modifier bits are ignored: the rest of the combination still fires.
    center_->registerHotKey(hotKey("xkb:ru", combo(kA, kStoredControlMask | 0x800000)));
    center_->registerHotKey(hotKey("xkb:ru", combo(kA, kStoredControlMask | 0x800000)));
    ASSERT_EQ(log_.size(), 1 + keys.size());
    EXPECT_NE(log_.back().find("0x800000"), std::string::npos) << log_.back();
    other_.press(keycodeOf(kA), {"LCTL"});
    ASSERT_TRUE(firedCount(1));
}

// The second hotkey's action unregisters it; the first still needs the grab until it goes too.
TEST_F(HotKeyCenterOnDisplay, UngrabsOnlyWhatNoHotKeyStillNeeds) {
    const xcb_keycode_t f5 = keycodeOf(kF5);
    auto first = hotKey("xkb:de", combo(kF5, kStoredControlMask));
    auto second = GlobalShortcut::hotKeyWithIdentifierKeyCombo(
        "xkb:ru", combo(kF5, kStoredControlMask), [this](GlobalShortcut& fired) {
            fired_.push_back(fired.identifier());
            center_->unregisterHotKey(center_->hotKeyWithIdentifier(fired.identifier()));
        });
    center_->registerHotKey(first);
    center_->registerHotKey(second);
    other_.press(f5, {"LCTL"});
    ASSERT_TRUE(firedCount(2));
    EXPECT_EQ(fired_, (std::vector<std::string>{"xkb:de", "xkb:ru"}));
    EXPECT_EQ(center_->hotKeyWithIdentifier("xkb:ru"), nullptr);
    EXPECT_EQ(center_->hotKeyWithIdentifier("xkb:de"), first);
    serverHasSeenTheCenter();
    EXPECT_FALSE(other_.grab(f5, XCB_MOD_MASK_CONTROL)) << "the first hotkey still needs it";

    center_->unregisterHotKey(first);
    serverHasSeenTheCenter();
    EXPECT_TRUE(other_.grab(f5, XCB_MOD_MASK_CONTROL));
    EXPECT_TRUE(other_.grab(f5, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2));
    other_.ungrab(f5, XCB_MOD_MASK_ANY);
}

// xfree86 key codes put the arrows elsewhere than evdev's: the grab must move with the key.
TEST_F(HotKeyCenterOnDisplay, KeymapChangeMovesTheGrabToTheKeysNewCode) {
    auto key = hotKey("xkb:ru", combo(kLeft, kStoredControlMask));
    center_->registerHotKey(key);
    const xcb_keycode_t before = keycodeOf(kLeft);
    ASSERT_EQ(std::system("setxkbmap -keycodes xfree86 -layout us,de,ru"), 0);
    ASSERT_TRUE(keymapChangeHandled());
    const xcb_keycode_t after = keycodeOf(kLeft);
    EXPECT_NE(after, before);
    EXPECT_EQ(other_.keycodeOfName("LEFT"), after);
    EXPECT_TRUE(center_->isActive(key));
    serverHasSeenTheCenter();
    EXPECT_TRUE(other_.grab(before, XCB_MOD_MASK_CONTROL)) << "the old key code is let go";
    other_.ungrab(before, XCB_MOD_MASK_ANY);
    other_.press(after, {"LCTL"});
    EXPECT_TRUE(firedCount(1));
    ASSERT_EQ(std::system("setxkbmap -keycodes evdev -layout us,de,ru"), 0);
    ASSERT_TRUE(keymapChangeHandled());
    EXPECT_EQ(keycodeOf(kLeft), before);
}

} // namespace
} // namespace velmora::x11
