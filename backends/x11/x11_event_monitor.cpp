// SPDX-License-Identifier: MIT
#include "x11_event_monitor.h"

#include "xcb_reply.h"
#include "xcb_xkb.h"

#include <xcb/xinput.h>
#include <xkbcommon/xkbcommon-x11.h>

namespace velmora::x11 {

namespace {

constexpr std::uint64_t kShift = 0x20000, kControl = 0x40000, kOption = 0x80000,
                        kCommand = 0x100000, kCapsLock = 0x10000;

// The left/right bits of the device-dependent half, as the launcher detection was written for.
constexpr std::uint64_t kLeftControl = 0x1, kLeftShift = 0x2, kRightShift = 0x4, kLeftCommand = 0x8,
                        kRightCommand = 0x10, kLeftOption = 0x20, kRightOption = 0x40,
                        kRightControl = 0x2000;

constexpr std::uint32_t kLeftButton = 1;

struct RawEventMask {
    xcb_input_event_mask_t head;
    std::uint32_t bits;
};

} // namespace

ModifierKey modifierKeyOfKeysym(std::uint32_t keysym) {
    switch (keysym) {
    case XKB_KEY_Shift_L:
        return ModifierKey::ShiftLeft;
    case XKB_KEY_Shift_R:
        return ModifierKey::ShiftRight;
    case XKB_KEY_Control_L:
        return ModifierKey::ControlLeft;
    case XKB_KEY_Control_R:
        return ModifierKey::ControlRight;
    case XKB_KEY_Alt_L:
        return ModifierKey::OptionLeft;
    case XKB_KEY_Alt_R:
        return ModifierKey::OptionRight;
    case XKB_KEY_Super_L:
        return ModifierKey::CommandLeft;
    case XKB_KEY_Super_R:
        return ModifierKey::CommandRight;
    case XKB_KEY_Caps_Lock:
        return ModifierKey::CapsLock;
    default:
        return ModifierKey::None;
    }
}

std::uint64_t rawFlagsOf(ModifierKey key) {
    switch (key) {
    case ModifierKey::None:
        return 0;
    case ModifierKey::ShiftLeft:
        return kShift | kLeftShift;
    case ModifierKey::ShiftRight:
        return kShift | kRightShift;
    case ModifierKey::ControlLeft:
        return kControl | kLeftControl;
    case ModifierKey::ControlRight:
        return kControl | kRightControl;
    case ModifierKey::OptionLeft:
        return kOption | kLeftOption;
    case ModifierKey::OptionRight:
        return kOption | kRightOption;
    case ModifierKey::CommandLeft:
        return kCommand | kLeftCommand;
    case ModifierKey::CommandRight:
        return kCommand | kRightCommand;
    case ModifierKey::CapsLock:
        return kCapsLock;
    }
    return 0;
}

std::uint64_t ModifierKeyState::flags() const {
    std::uint64_t flags = kRawFlagsNoModifier | (capsLock_ ? kCapsLock : 0);
    for (ModifierKey key : held_)
        if (key != ModifierKey::CapsLock)
            flags |= rawFlagsOf(key);
    return flags;
}

std::optional<std::uint64_t> ModifierKeyState::keyPressed(std::uint32_t keycode, ModifierKey key) {
    if (keycode >= held_.size() || key == ModifierKey::None || held_[keycode] != ModifierKey::None)
        return std::nullopt;
    const std::uint64_t before = flags();
    held_[keycode] = key;
    // Caps Lock locks on one press and unlocks on the next; its release changes nothing.
    if (key == ModifierKey::CapsLock)
        capsLock_ = !capsLock_;
    const std::uint64_t after = flags();
    if (after == before)
        return std::nullopt;
    return after;
}

std::optional<std::uint64_t> ModifierKeyState::keyReleased(std::uint32_t keycode) {
    if (keycode >= held_.size() || held_[keycode] == ModifierKey::None)
        return std::nullopt;
    const std::uint64_t before = flags();
    held_[keycode] = ModifierKey::None;
    const std::uint64_t after = flags();
    if (after == before)
        return std::nullopt;
    return after;
}

X11EventMonitor::X11EventMonitor(X11Connection& connection, Log log)
    : connection_(connection), log_(std::move(log)),
      self_(std::make_shared<X11EventMonitor*>(this)), monitors_(connection) {
    xcb_connection_t* c = connection_.xcb();
    const xcb_query_extension_reply_t* xinput = xcb_get_extension_data(c, &xcb_input_id);
    if (xinput && xinput->present) {
        // 2.2 asked, 2.0 enough: since 2.1 raw events arrive even while another client holds a
        // grab, which is what a global monitor wants.
        XcbReply<xcb_input_xi_query_version_reply_t> version(
            xcb_input_xi_query_version_reply(c, xcb_input_xi_query_version(c, 2, 2), nullptr));
        if (version && version->major_version >= 2)
            xinputOpcode_ = xinput->major_opcode;
    }
    if (connection_.hasXkb()) {
        XcbReply<xcb_xkb_get_state_reply_t> state(xcb_xkb_get_state_reply(
            c, xcb_xkb_get_state(c, static_cast<xcb_xkb_device_spec_t>(connection_.xkbDeviceId())),
            nullptr));
        if (state)
            modifiers_.setCapsLockOn((state->lockedMods & XCB_MOD_MASK_LOCK) != 0);
        // Only these bits change; what other services selected on this connection stays.
        xcb_xkb_select_events_details_t details = {};
        details.affectNewKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES;
        details.newKeyboardDetails = XCB_XKB_NKN_DETAIL_KEYCODES;
        const std::uint16_t mapParts = XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS;
        xcb_xkb_select_events_aux(c, static_cast<xcb_xkb_device_spec_t>(connection_.xkbDeviceId()),
                                  XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY |
                                      XCB_XKB_EVENT_TYPE_MAP_NOTIFY,
                                  0, 0, mapParts, mapParts, &details);
        connection_.flush();
    }
    connection_.repliesAwaited();
    if (!listening())
        log_("the X server has no XInput 2: mouse-up and modifier-key events are not seen (the "
             "address-bar switch and the launcher's double tap stay quiet)");
    std::weak_ptr<X11EventMonitor*> weak = self_;
    connection_.addEventHandler([weak](const xcb_generic_event_t& event) {
        if (auto self = weak.lock(); self && *self)
            (*self)->onEvent(event);
    });
}

X11EventMonitor::~X11EventMonitor() {
    *self_ = nullptr;
    if (context_)
        xkb_context_unref(context_);
}

void X11EventMonitor::addGlobalMonitor(std::uint64_t mask, Handler handler) {
    handlers_.emplace_back(mask, std::move(handler));
    selectRawEvents();
}

// Raw events are selected only for what some handler wants: every key press of the user
// would otherwise wake the agent for nothing.
void X11EventMonitor::selectRawEvents() {
    if (!listening())
        return;
    std::uint64_t wanted = 0;
    for (const auto& [mask, handler] : handlers_)
        wanted |= mask;
    std::uint32_t bits = 0;
    if (wanted & EventMask::LeftMouseUp)
        bits |= XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE;
    if (wanted & EventMask::FlagsChanged)
        bits |= XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE;
    if (bits == selectedMask_)
        return;
    selectedMask_ = bits;
    RawEventMask mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, bits};
    xcb_input_xi_select_events(connection_.xcb(), connection_.root(), 1, &mask.head);
    connection_.flush();
}

void X11EventMonitor::onEvent(const xcb_generic_event_t& event) {
    const std::uint8_t type = event.response_type & 0x7F;
    if (type == XCB_GE_GENERIC) {
        const auto& generic = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
        if (!listening() || generic.extension != xinputOpcode_)
            return;
        // The raw events share their first fields; the header read here is within the 32
        // bytes every event has, whatever the server put after it.
        const auto& raw = reinterpret_cast<const xcb_input_raw_key_press_event_t&>(event);
        switch (generic.event_type) {
        case XCB_INPUT_RAW_KEY_PRESS:
            rawKey(true, raw.detail, raw.time);
            break;
        case XCB_INPUT_RAW_KEY_RELEASE:
            rawKey(false, raw.detail, raw.time);
            break;
        case XCB_INPUT_RAW_BUTTON_RELEASE:
            rawButtonReleased(raw.detail, raw.time);
            break;
        default:
            break;
        }
        return;
    }
    if (type == XCB_MAPPING_NOTIFY) {
        keymapStale_ = true;
        return;
    }
    if (connection_.hasXkb() && type == connection_.xkbFirstEvent()) {
        const auto& any = reinterpret_cast<const XkbAnyEvent&>(event);
        if (any.deviceID == connection_.xkbDeviceId() &&
            (any.xkbType == XCB_XKB_NEW_KEYBOARD_NOTIFY || any.xkbType == XCB_XKB_MAP_NOTIFY))
            keymapStale_ = true;
    }
}

// The server's time in milliseconds, as seconds: the launcher detection only compares it with
// the times of other events. It wraps after 49 days, which costs at most one double tap.
void X11EventMonitor::rawKey(bool press, std::uint32_t keycode, std::uint32_t time) {
    const std::optional<std::uint64_t> flags =
        press ? modifiers_.keyPressed(keycode, modifierKeyOfKeycode(keycode))
              : modifiers_.keyReleased(keycode);
    if (!flags)
        return;
    Event event;
    event.type = EventType::FlagsChanged;
    event.modifierFlags = *flags;
    event.timestamp = time / 1000.0;
    deliver(event, EventMask::FlagsChanged);
}

void X11EventMonitor::rawButtonReleased(std::uint32_t button, std::uint32_t time) {
    if (button != kLeftButton)
        return;
    xcb_connection_t* c = connection_.xcb();
    // The pointer and the monitors in one round trip: this runs on the main thread.
    auto pointerCookie = xcb_query_pointer(c, connection_.root());
    const RandrMonitors::Pending monitors = monitors_.ask();
    XcbReply<xcb_query_pointer_reply_t> pointer(xcb_query_pointer_reply(c, pointerCookie, nullptr));
    const std::int32_t height = originHeight(monitors_.take(monitors));
    connection_.repliesAwaited();
    if (!pointer)
        return;
    Event event;
    event.type = EventType::LeftMouseUp;
    event.timestamp = time / 1000.0;
    event.locationInScreen = {double(pointer->root_x), double(height) - double(pointer->root_y)};
    deliver(event, EventMask::LeftMouseUp);
}

ModifierKey X11EventMonitor::modifierKeyOfKeycode(std::uint32_t keycode) {
    if (keycode >= keyOfKeycode_.size())
        return ModifierKey::None;
    if (keymapStale_)
        readKeymap();
    return keyOfKeycode_[keycode];
}

// The keysym of each key's first level in the first group: where Shift_R or Super_L sits
// whatever layout is locked.
void X11EventMonitor::readKeymap() {
    keymapStale_ = false;
    keyOfKeycode_.fill(ModifierKey::None);
    if (!connection_.hasXkb())
        return;
    if (!context_) {
        context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        if (!context_)
            return;
        xkb_context_set_log_level(context_, XKB_LOG_LEVEL_CRITICAL);
    }
    KeymapPtr keymap(xkb_x11_keymap_new_from_device(
        context_, connection_.xcb(), connection_.xkbDeviceId(), XKB_KEYMAP_COMPILE_NO_FLAGS));
    connection_.repliesAwaited();
    if (!keymap)
        return;
    const xkb_keycode_t min = xkb_keymap_min_keycode(keymap.get());
    const xkb_keycode_t max = xkb_keymap_max_keycode(keymap.get());
    for (xkb_keycode_t keycode = min; keycode <= max && keycode < keyOfKeycode_.size(); ++keycode) {
        const xkb_keysym_t* symbols = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap.get(), keycode, 0, 0, &symbols);
        if (count >= 1)
            keyOfKeycode_[keycode] = modifierKeyOfKeysym(symbols[0]);
    }
}

void X11EventMonitor::deliver(const Event& event, std::uint64_t typeMask) {
    // A handler may add handlers: each one is copied out before it runs.
    const std::size_t count = handlers_.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (!(handlers_[i].first & typeMask))
            continue;
        Handler handler = handlers_[i].second;
        handler(event);
    }
}

} // namespace velmora::x11
