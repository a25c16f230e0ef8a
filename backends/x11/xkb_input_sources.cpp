// SPDX-License-Identifier: MIT
#include "xkb_input_sources.h"

#include "xcb_reply.h"

#include "window_facts.h"

#include "xcb_xkb.h"
#include <xkbcommon/xkbcommon-x11.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace velmora::x11 {

namespace {

// xkbcommon's own warnings go to the program's log, so that they read like its other messages
// instead of appearing on standard error in xkbcommon's form.
void logXkbMessage(xkb_context* context, xkb_log_level, const char* format, va_list arguments) {
    auto* log = static_cast<const XkbInputSources::Log*>(xkb_context_get_user_data(context));
    char text[512];
    if (!log || !*log || std::vsnprintf(text, sizeof text, format, arguments) < 0)
        return;
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == ' '))
        line.pop_back();
    if (!line.empty())
        (*log)("xkbcommon: " + line);
}

} // namespace

XkbInputSources::XkbInputSources(X11Connection& connection, DesktopBroadcastHub& notifications,
                                 Log log)
    : connection_(connection), notifications_(notifications), log_(std::move(log)) {
    if (!connection_.hasXkb()) {
        log_("the X server has no usable XKB extension: keyboard layouts can be neither "
             "read nor selected");
        return;
    }
    context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (context_) {
        xkb_context_set_user_data(context_, &log_);
        xkb_context_set_log_fn(context_, logXkbMessage);
    }
    auto device = static_cast<xcb_xkb_device_spec_t>(connection_.xkbDeviceId());
    xcb_xkb_select_events_details_t details = {};
    details.affectNewKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES;
    details.newKeyboardDetails = XCB_XKB_NKN_DETAIL_KEYCODES;
    details.affectState = XCB_XKB_STATE_PART_GROUP_LOCK;
    details.stateDetails = XCB_XKB_STATE_PART_GROUP_LOCK;
    std::uint16_t events = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY |
                           XCB_XKB_EVENT_TYPE_STATE_NOTIFY;
    std::uint16_t mapParts = XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS;
    xcb_xkb_select_events_aux(connection_.xcb(), device, events, 0, 0, mapParts, mapParts,
                              &details);
    // setxkbmap writes the layout names after the keymap; both mean "read again".
    connection_.selectRootEvents(XCB_EVENT_MASK_PROPERTY_CHANGE);
    connection_.addEventHandler([this](const xcb_generic_event_t& event) { onEvent(event); });
    lastGroup_ = lockedGroup();
    connection_.flush();
}

XkbInputSources::~XkbInputSources() {
    if (context_)
        xkb_context_unref(context_);
}

void XkbInputSources::onEvent(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
        const auto& e = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (e.window == connection_.root() && e.atom == connection_.atoms().xkbRulesNames)
            keymapChanged();
        return;
    }
    if ((event.response_type & 0x7F) != connection_.xkbFirstEvent())
        return;
    const auto& any = reinterpret_cast<const XkbAnyEvent&>(event);
    if (any.deviceID != connection_.xkbDeviceId())
        return;
    switch (any.xkbType) {
    case XCB_XKB_STATE_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_xkb_state_notify_event_t&>(event);
        knownGroup_ = e.lockedGroup;
        if (lastGroup_ == e.lockedGroup)
            return;
        lastGroup_ = e.lockedGroup;
        notifications_.post(DesktopBroadcast::SelectedInputSourceChanged);
        break;
    }
    case XCB_XKB_NEW_KEYBOARD_NOTIFY:
    case XCB_XKB_MAP_NOTIFY:
        keymapChanged();
        break;
    default:
        break;
    }
}

void XkbInputSources::keymapChanged() {
    auto before = currentSource();
    stale_ = true;
    auto after = currentSource();
    lastGroup_ = lockedGroup();
    notifications_.post(DesktopBroadcast::EnabledInputSourcesChanged);
    bool changed = before.has_value() != after.has_value() ||
                   (before && before->inputSourceID != after->inputSourceID);
    if (changed)
        notifications_.post(DesktopBroadcast::SelectedInputSourceChanged);
}

void XkbInputSources::reloadIfStale() {
    if (!stale_ || !context_)
        return;
    stale_ = false;
    std::unique_ptr<xkb_keymap, KeymapDeleter> keymap(xkb_x11_keymap_new_from_device(
        context_, connection_.xcb(), connection_.xkbDeviceId(), XKB_KEYMAP_COMPILE_NO_FLAGS));
    connection_.repliesAwaited();
    sources_.clear();
    latinGroup_.reset();
    if (!keymap) {
        log_("the keyboard's XKB keymap cannot be read");
        return;
    }
    std::size_t groups = xkb_keymap_num_layouts(keymap.get());
    auto rulesNames = readBytes(connection_, connection_.root(), connection_.atoms().xkbRulesNames);
    std::vector<XkbLayoutChoice> layouts = parseXkbRulesNames(rulesNames.value_or(""));
    std::vector<std::string> ids = inputSourceIdsForGroups(layouts, groups);
    latinGroup_ = latinGroupFor(layouts, groups);
    for (std::size_t group = 0; group < groups; ++group) {
        InputSource source;
        source.inputSourceID = ids[group];
        const char* name =
            xkb_keymap_layout_get_name(keymap.get(), static_cast<xkb_layout_index_t>(group));
        source.localizedName = name && *name ? name : ids[group];
        source.category = kKeyboardLayoutCategory;
        source.isSelectCapable = true;
        source.isEnabled = true;
        source.nativeHandle = static_cast<std::int64_t>(group);
        source.iconRef = badgeIconRefFor(layouts, group);
        sources_.push_back(std::move(source));
    }
}

std::optional<std::uint8_t> XkbInputSources::lockedGroup() {
    if (!connection_.hasXkb())
        return std::nullopt;
    xcb_generic_error_t* error = nullptr;
    std::unique_ptr<xcb_xkb_get_state_reply_t, FreeDeleter> state(xcb_xkb_get_state_reply(
        connection_.xcb(), xcb_xkb_get_state(connection_.xcb(), XCB_XKB_ID_USE_CORE_KBD), &error));
    std::free(error);
    connection_.repliesAwaited();
    if (!state)
        return std::nullopt;
    if (connection_.onMainThread())
        knownGroup_ = state->lockedGroup;
    return state->lockedGroup;
}

std::optional<std::uint8_t> XkbInputSources::currentGroup() {
    // A hotkey or another event handled now: every group change before it has been seen, so
    // the answer needs no round trip to the server (which would add two process switches to
    // the switch the user is waiting for). Elsewhere the server is asked.
    if (knownGroup_ && connection_.onMainThread() && connection_.dispatchingEvent())
        return knownGroup_;
    return lockedGroup();
}

std::optional<InputSource> XkbInputSources::currentSource() {
    reloadIfStale();
    auto group = currentGroup();
    if (!group || *group >= sources_.size())
        return std::nullopt;
    return sources_[*group];
}

std::vector<InputSource> XkbInputSources::sourcesMatching(const std::optional<std::string>& id,
                                                          bool includeAllInstalled) {
    // Every group of the keymap is enabled. The layouts it lacks are not listed: only one
    // asked for by its ID is looked for.
    reloadIfStale();
    if (!id)
        return sources_;
    if (*id == kLatinLayoutAlias) {
        if (latinGroup_)
            return {sources_[*latinGroup_]};
        return {};
    }
    std::vector<InputSource> matching;
    for (const InputSource& source : sources_)
        if (source.inputSourceID == *id)
            matching.push_back(source);
    if (matching.empty() && includeAllInstalled) {
        if (auto name = layoutNames_.nameOf(*id)) {
            InputSource installed;
            installed.inputSourceID = *id;
            installed.localizedName = *name;
            installed.isEnabled = false;
            matching.push_back(std::move(installed));
        }
    }
    return matching;
}

void XkbInputSources::select(const InputSource& source) {
    reloadIfStale();
    // The keymap may have changed since SOURCE was listed: select by ID, not by group number.
    for (const InputSource& current : sources_) {
        if (!source.inputSourceID || current.inputSourceID != source.inputSourceID)
            continue;
        const auto group = static_cast<std::uint8_t>(current.nativeHandle);
        xcb_xkb_latch_lock_state(connection_.xcb(), XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, group, 0, 0,
                                 0);
        connection_.flush();
        if (connection_.onMainThread())
            knownGroup_ = group;
        return;
    }
}

} // namespace velmora::x11
