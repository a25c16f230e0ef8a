#include "single_instance.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace velmora::x11 {

namespace {

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
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr);
    selection_ = atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(atom);
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

} // namespace velmora::x11
