// SPDX-License-Identifier: MIT
#include "x11_hot_key_center.h"

#include "xcb_reply.h"

#include "key_positions.h"
#include "stored_key_combo.h"

#include "xcb_xkb.h"
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace velmora::x11 {

namespace {

constexpr std::uint8_t kBadAccess = 10;

std::string hex(std::int64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%s0x%llx", value < 0 ? "-" : "",
                  static_cast<unsigned long long>(value < 0 ? -(value + 1) + 1ULL : value));
    return text;
}

std::string describe(const StoredKeyCombo& combo) {
    const KeyPosition* position = keyPositionOfKeyCode(combo.keyCode);
    return modifierLabel(combo.modifierFlags) +
           (position ? std::string(position->label) : "key " + hex(combo.keyCode));
}

} // namespace

X11GlobalShortcuts::X11GlobalShortcuts(X11Connection& connection, RunLoop& runLoop, Log log)
    : connection_(connection), runLoop_(runLoop), log_(std::move(log)),
      self_(std::make_shared<X11GlobalShortcuts*>(this)) {
    context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (context_)
        xkb_context_set_log_level(context_, XKB_LOG_LEVEL_CRITICAL);
    keymap_ = X11Keymap::read(connection_, context_);
    if (connection_.hasXkb()) {
        // Only the bits named here change; what other services selected on this connection
        // stays selected.
        xcb_xkb_select_events_details_t details = {};
        details.affectNewKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES;
        details.newKeyboardDetails = XCB_XKB_NKN_DETAIL_KEYCODES;
        const std::uint16_t mapParts =
            XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP;
        xcb_xkb_select_events_aux(
            connection_.xcb(), static_cast<xcb_xkb_device_spec_t>(connection_.xkbDeviceId()),
            XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY, 0, 0, mapParts,
            mapParts, &details);
        connection_.flush();
    }
    std::weak_ptr<X11GlobalShortcuts*> weak = self_;
    connection_.addEventHandler([weak](const xcb_generic_event_t& event) {
        if (auto self = weak.lock(); self && *self)
            (*self)->onEvent(event);
    });
}

X11GlobalShortcuts::~X11GlobalShortcuts() {
    *self_ = nullptr;
    if (settleTimer_)
        settleTimer_->invalidate();
    for (const auto& [grab, held] : held_)
        ungrabOnServer(grab, held);
    connection_.flush();
    if (context_)
        xkb_context_unref(context_);
}

void X11GlobalShortcuts::registerHotKey(const HotKeyPtr& hotKey) {
    if (!hotKey)
        return;
    auto same = [&](const Registration& r) { return r.hotKey == hotKey; };
    if (std::ranges::any_of(registrations_, same))
        return;
    registrations_.push_back({hotKey, grabFor(*hotKey)});
    syncGrabs();
}

void X11GlobalShortcuts::unregisterHotKey(const HotKeyPtr& hotKey) {
    auto removed =
        std::erase_if(registrations_, [&](const Registration& r) { return r.hotKey == hotKey; });
    if (removed)
        syncGrabs();
}

HotKeyPtr X11GlobalShortcuts::hotKeyWithIdentifier(const std::string& identifier) {
    for (const Registration& registration : registrations_)
        if (registration.hotKey->identifier() == identifier)
            return registration.hotKey;
    return nullptr;
}

std::optional<std::int64_t>
X11GlobalShortcuts::keyCodeOfX11Keycode(std::uint32_t x11Keycode) const {
    return keymap_ ? keymap_->keyCodeOfX11Keycode(x11Keycode) : std::nullopt;
}

std::optional<std::uint32_t> X11GlobalShortcuts::x11KeycodeOfKeyCode(std::int64_t keyCode) const {
    if (!keymap_)
        return std::nullopt;
    if (auto keycode = keymap_->x11KeycodeOfKeyCode(keyCode))
        return *keycode;
    return std::nullopt;
}

bool X11GlobalShortcuts::isActive(const HotKeyPtr& hotKey) const {
    for (const Registration& registration : registrations_) {
        if (registration.hotKey != hotKey || !registration.grab)
            continue;
        auto held = held_.find(*registration.grab);
        return held != held_.end() && !held->second.refused;
    }
    return false;
}

std::optional<X11GlobalShortcuts::Grab> X11GlobalShortcuts::grabFor(const GlobalShortcut& hotKey) {
    const std::string subject = "the hotkey of " + hotKey.identifier();
    KeyComboReading reading = readStoredKeyCombo(hotKey.keyCombo());
    if (!reading.combo) {
        sayOnce(subject + " " + reading.problem + ": it stays registered but does nothing");
        return std::nullopt;
    }
    const StoredKeyCombo& combo = *reading.combo;
    if (combo.unknownModifierBits)
        sayOnce(subject + " has modifier bits " + hex(combo.unknownModifierBits) +
                " that are no Shift, Control, Option or Command: they are ignored");
    if (!keyPositionOfKeyCode(combo.keyCode)) {
        sayOnce(subject + " names key code " + hex(combo.keyCode) +
                ", a key this program does not know: it stays registered but does nothing");
        return std::nullopt;
    }
    if (!keymap_) {
        sayOnce("the keyboard's XKB keymap cannot be read: hotkeys stay registered but do "
                "nothing");
        return std::nullopt;
    }
    auto keycode = keymap_->x11KeycodeOfKeyCode(combo.keyCode);
    if (!keycode) {
        sayOnce(subject + " (" + describe(combo) +
                ") has no key on this keyboard: it stays registered but does nothing");
        return std::nullopt;
    }
    return Grab{*keycode, keymap_->x11ModifiersOf(combo.modifierFlags)};
}

std::vector<std::uint16_t> X11GlobalShortcuts::lockStates() const {
    std::vector<std::uint16_t> locks{XCB_MOD_MASK_LOCK};
    if (keymap_) {
        for (std::uint16_t bit : {keymap_->modifiers().numLock, keymap_->modifiers().scrollLock})
            if (bit && std::ranges::find(locks, bit) == locks.end())
                locks.push_back(bit);
    }
    // Every subset of the lock bits, the empty one first.
    std::vector<std::uint16_t> states{0};
    for (std::uint16_t bit : locks) {
        const std::size_t count = states.size();
        for (std::size_t i = 0; i < count; ++i)
            states.push_back(static_cast<std::uint16_t>(states[i] | bit));
    }
    return states;
}

void X11GlobalShortcuts::syncGrabs() {
    std::map<Grab, std::string> wanted; // each grab with the hotkeys that need it
    for (const Registration& registration : registrations_) {
        if (!registration.grab)
            continue;
        std::string& who = wanted[*registration.grab];
        who += (who.empty() ? "" : ", ") + registration.hotKey->identifier();
    }
    const std::vector<std::uint16_t> locks = lockStates();
    for (auto it = held_.begin(); it != held_.end();) {
        if (wanted.contains(it->first) && it->second.lockStates == locks) {
            ++it;
            continue;
        }
        ungrabOnServer(it->first, it->second);
        it = held_.erase(it);
    }
    for (const auto& [grab, who] : wanted) {
        if (held_.contains(grab))
            continue;
        HeldGrab& held = held_[grab];
        held.lockStates = locks;
        grabOnServer(grab, held, who);
    }
    connection_.flush();
}

void X11GlobalShortcuts::grabOnServer(const Grab& grab, HeldGrab& held, const std::string& who) {
    std::vector<xcb_void_cookie_t> cookies;
    for (std::uint16_t lock : held.lockStates) {
        if (lock & grab.modifiers)
            continue;
        cookies.push_back(xcb_grab_key_checked(connection_.xcb(), 0, connection_.root(),
                                               static_cast<std::uint16_t>(grab.modifiers | lock),
                                               grab.keycode, XCB_GRAB_MODE_ASYNC,
                                               XCB_GRAB_MODE_ASYNC));
    }
    std::optional<std::uint8_t> errorCode;
    for (xcb_void_cookie_t cookie : cookies) {
        std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(
            xcb_request_check(connection_.xcb(), cookie));
        if (error && !errorCode)
            errorCode = error->error_code;
    }
    connection_.repliesAwaited();
    if (!errorCode)
        return;
    held.refused = true;
    std::optional<std::int64_t> keyCode =
        keymap_ ? keymap_->keyCodeOfX11Keycode(grab.keycode) : std::nullopt;
    const KeyPosition* position = keyCode ? keyPositionOfKeyCode(*keyCode) : nullptr;
    std::string combination =
        "X key code " + std::to_string(grab.keycode) + " with modifiers " + hex(grab.modifiers);
    if (position)
        combination += " (" + std::string(position->label) + ")";
    if (*errorCode == kBadAccess)
        sayOnce("the hotkey of " + who + ", " + combination +
                ", is taken by another program: it stays registered but does nothing");
    else
        sayOnce("the X server refused the hotkey of " + who + ", " + combination + " (error " +
                std::to_string(*errorCode) + "): it stays registered but does nothing");
}

void X11GlobalShortcuts::ungrabOnServer(const Grab& grab, const HeldGrab& held) {
    // Ungrabbing what another client holds does not touch that client's grab.
    for (std::uint16_t lock : held.lockStates)
        if (!(lock & grab.modifiers))
            xcb_ungrab_key(connection_.xcb(), grab.keycode, connection_.root(),
                           static_cast<std::uint16_t>(grab.modifiers | lock));
}

void X11GlobalShortcuts::onEvent(const xcb_generic_event_t& event) {
    const std::uint8_t type = event.response_type & 0x7F;
    if (type == XCB_KEY_PRESS) {
        keyPressed(reinterpret_cast<const xcb_key_press_event_t&>(event));
        return;
    }
    if (type == XCB_MAPPING_NOTIFY) {
        keymapMayHaveChanged();
        return;
    }
    if (!connection_.hasXkb() || type != connection_.xkbFirstEvent())
        return;
    const auto& any = reinterpret_cast<const XkbAnyEvent&>(event);
    if (any.deviceID != connection_.xkbDeviceId())
        return;
    if (any.xkbType == XCB_XKB_NEW_KEYBOARD_NOTIFY || any.xkbType == XCB_XKB_MAP_NOTIFY)
        keymapMayHaveChanged();
}

void X11GlobalShortcuts::keyPressed(const xcb_key_press_event_t& event) {
    if (event.event != connection_.root() || !keymap_)
        return;
    const Grab pressed{event.detail,
                       static_cast<std::uint16_t>(event.state & keymap_->comparedModifiers())};
    auto held = held_.find(pressed);
    if (held == held_.end() || held->second.refused)
        return;
    // An action may register or unregister hotkeys: act on the list as it was.
    std::vector<HotKeyPtr> firing;
    for (const Registration& registration : registrations_)
        if (registration.grab == pressed)
            firing.push_back(registration.hotKey);
    for (const HotKeyPtr& hotKey : firing)
        hotKey->invoke();
}

void X11GlobalShortcuts::keymapMayHaveChanged() {
    if (settleTimer_)
        settleTimer_->invalidate();
    std::weak_ptr<X11GlobalShortcuts*> weak = self_;
    settleTimer_ = runLoop_.scheduledTimer(kKeymapSettleDelay, false, [weak] {
        if (auto self = weak.lock(); self && *self)
            (*self)->followKeymap();
    });
}

void X11GlobalShortcuts::followKeymap() {
    settleTimer_.reset();
    std::optional<X11Keymap> keymap = X11Keymap::read(connection_, context_);
    // Most keymap changes (a layout added, a group switched) leave every position and modifier
    // where it was: then the grabs stay as they are.
    if (keymap == keymap_)
        return;
    keymap_ = std::move(keymap);
    for (Registration& registration : registrations_)
        registration.grab = grabFor(*registration.hotKey);
    syncGrabs();
}

void X11GlobalShortcuts::sayOnce(const std::string& line) {
    if (said_.insert(line).second && log_)
        log_(line);
}

} // namespace velmora::x11
