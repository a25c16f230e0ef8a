// SPDX-License-Identifier: MIT
#include "single_instance.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace velmora::x11 {

namespace {

xcb_atom_t internAtom(xcb_connection_t* c, const std::string& name) {
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr);
    xcb_atom_t result = atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(atom);
    return result;
}

xcb_window_t selectionOwner(xcb_connection_t* c, xcb_atom_t selection) {
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    xcb_window_t owner = reply ? reply->owner : xcb_window_t{XCB_WINDOW_NONE};
    std::free(reply);
    return owner;
}

} // namespace

SingleInstance::SingleInstance(X11Connection& connection) : connection_(connection) {
    xcb_connection_t* c = connection_.xcb();
    std::string name =
        "_VELMORA_U" + std::to_string(getuid()) + "_S" + std::to_string(connection_.screenNumber());
    selection_ = internAtom(c, name);
    reopen_ = internAtom(c, "_VELMORA_REOPEN");
    owner_ = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, owner_, connection_.root(), -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
}

SingleInstance::~SingleInstance() {
    if (!connection_.hasError()) {
        xcb_destroy_window(connection_.xcb(), owner_);
        connection_.flush();
    }
}

SingleInstance::Outcome SingleInstance::claim() {
    xcb_connection_t* c = connection_.xcb();
    xcb_grab_server(c);
    bool taken = selectionOwner(c, selection_) != XCB_WINDOW_NONE;
    if (!taken)
        xcb_set_selection_owner(c, owner_, selection_, XCB_CURRENT_TIME);
    xcb_ungrab_server(c);
    bool ours = !taken && selectionOwner(c, selection_) == owner_;
    connection_.repliesAwaited();
    return ours ? Outcome::Claimed : Outcome::AlreadyRunning;
}

bool SingleInstance::askToReopen() {
    xcb_connection_t* c = connection_.xcb();
    const xcb_window_t owner = selectionOwner(c, selection_);
    if (owner == XCB_WINDOW_NONE || reopen_ == XCB_ATOM_NONE)
        return false;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = owner;
    message.type = reopen_;
    // With an empty mask the server gives the event to the client that made the window.
    xcb_void_cookie_t sent = xcb_send_event_checked(c, 0, owner, XCB_EVENT_MASK_NO_EVENT,
                                                    reinterpret_cast<const char*>(&message));
    xcb_generic_error_t* error = xcb_request_check(c, sent);
    const bool delivered = !error;
    std::free(error);
    connection_.repliesAwaited();
    return delivered;
}

void SingleInstance::setReopenHandler(std::function<void()> handler) {
    reopenHandler_ = std::move(handler);
    if (listening_)
        return;
    listening_ = true;
    connection_.addEventHandler([this](const xcb_generic_event_t& event) {
        if ((event.response_type & 0x7f) != XCB_CLIENT_MESSAGE)
            return;
        const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
        if (message.window == owner_ && message.type == reopen_ && reopenHandler_)
            reopenHandler_();
    });
}

} // namespace velmora::x11
