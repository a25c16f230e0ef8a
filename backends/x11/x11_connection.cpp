// SPDX-License-Identifier: MIT
#include "x11_connection.h"

#include "xcb_reply.h"

#include <xcb/xfixes.h>
#include <xkbcommon/xkbcommon-x11.h>

#include <cstdlib>
#include <unistd.h>

namespace velmora::x11 {

namespace {

std::string describeConnectionError(int code) {
    switch (code) {
    case XCB_CONN_ERROR:
        return "the server could not be reached or closed the connection";
    case XCB_CONN_CLOSED_EXT_NOTSUPPORTED:
        return "an extension is not supported";
    case XCB_CONN_CLOSED_MEM_INSUFFICIENT:
        return "out of memory";
    case XCB_CONN_CLOSED_REQ_LEN_EXCEED:
        return "a request was too long";
    case XCB_CONN_CLOSED_PARSE_ERR:
        return "the display name is not valid";
    case XCB_CONN_CLOSED_INVALID_SCREEN:
        return "the display has no such screen";
    default:
        return "error " + std::to_string(code);
    }
}

xcb_atom_t internAtomReply(xcb_connection_t* connection, xcb_intern_atom_cookie_t cookie) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

xcb_intern_atom_cookie_t internAtom(xcb_connection_t* connection, std::string_view name) {
    return xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data());
}

} // namespace

std::unique_ptr<X11Connection> X11Connection::open(const std::string& displayName,
                                                   std::string* error) {
    std::unique_ptr<X11Connection> self(new X11Connection());
    self->displayName_ = displayName;
    if (self->displayName_.empty())
        if (const char* display = std::getenv("DISPLAY"))
            self->displayName_ = display;
    if (self->displayName_.empty()) {
        *error = "DISPLAY is not set";
        return nullptr;
    }
    self->connection_ = xcb_connect(self->displayName_.c_str(), &self->screenNumber_);
    if (int code = xcb_connection_has_error(self->connection_)) {
        *error = "cannot connect to the X display \"" + self->displayName_ +
                 "\": " + describeConnectionError(code);
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(self->connection_));
    for (int i = 0; i < self->screenNumber_ && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem) {
        *error = "the X display \"" + self->displayName_ + "\" has no screen " +
                 std::to_string(self->screenNumber_);
        return nullptr;
    }
    self->screen_ = screens.data;

    // All atoms in one round trip.
    xcb_intern_atom_cookie_t* ewmhCookies = xcb_ewmh_init_atoms(self->connection_, &self->ewmh_);
    auto wmState = internAtom(self->connection_, "WM_STATE");
    auto gtkId = internAtom(self->connection_, "_GTK_APPLICATION_ID");
    auto kdeFile = internAtom(self->connection_, "_KDE_NET_WM_DESKTOP_FILE");
    auto rules = internAtom(self->connection_, "_XKB_RULES_NAMES");
    auto gtkFrame = internAtom(self->connection_, "_GTK_FRAME_EXTENTS");
    self->ewmhReady_ = xcb_ewmh_init_atoms_replies(&self->ewmh_, ewmhCookies, nullptr) != 0;
    self->atoms_.wmState = internAtomReply(self->connection_, wmState);
    self->atoms_.gtkApplicationId = internAtomReply(self->connection_, gtkId);
    self->atoms_.kdeDesktopFile = internAtomReply(self->connection_, kdeFile);
    self->atoms_.xkbRulesNames = internAtomReply(self->connection_, rules);
    self->atoms_.gtkFrameExtents = internAtomReply(self->connection_, gtkFrame);
    if (!self->ewmhReady_) {
        *error = "the X display \"" + self->displayName_ + "\" did not answer";
        return nullptr;
    }

    std::uint8_t xkbFirstError = 0;
    if (xkb_x11_setup_xkb_extension(self->connection_, XKB_X11_MIN_MAJOR_XKB_VERSION,
                                    XKB_X11_MIN_MINOR_XKB_VERSION,
                                    XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr,
                                    &self->xkbFirstEvent_, &xkbFirstError)) {
        self->xkbDeviceId_ = xkb_x11_get_core_keyboard_device_id(self->connection_);
    }

    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0)
        self->hostName_ = host;
    return self;
}

X11Connection::~X11Connection() {
    if (ewmhReady_)
        xcb_ewmh_connection_wipe(&ewmh_);
    if (connection_)
        xcb_disconnect(connection_);
}

int X11Connection::fileDescriptor() const {
    return xcb_get_file_descriptor(connection_);
}

bool X11Connection::hasError() const {
    return xcb_connection_has_error(connection_) != 0;
}

void X11Connection::addEventHandler(EventHandler handler) {
    handlers_.push_back(std::move(handler));
}

void X11Connection::setConnectionLostHandler(std::function<void()> handler) {
    connectionLost_ = std::move(handler);
}

void X11Connection::setWakeMainThread(std::function<void()> wake) {
    wakeMainThread_ = std::move(wake);
}

void X11Connection::dispatch(xcb_generic_event_t* event) {
    // A handler may add handlers; those see the next event.
    std::size_t count = handlers_.size();
    ++dispatching_;
    for (std::size_t i = 0; i < count; ++i)
        handlers_[i](*event);
    --dispatching_;
    std::free(event);
}

void X11Connection::pump() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_))
        dispatch(event);
    runAfterDispatch();
    checkConnection();
}

void X11Connection::dispatchQueued() {
    wakePending_.store(false);
    while (xcb_generic_event_t* event = xcb_poll_for_queued_event(connection_))
        dispatch(event);
    runAfterDispatch();
    checkConnection();
}

void X11Connection::afterDispatch(std::function<void()> task) {
    if (dispatching_ == 0) {
        task();
        flush();
        return;
    }
    afterDispatch_.push_back(std::move(task));
}

void X11Connection::runAfterDispatch() {
    if (afterDispatch_.empty())
        return;
    // Swapped out first: a task that queues another (it runs at once here) cannot invalidate
    // the loop.
    std::vector<std::function<void()>> tasks;
    tasks.swap(afterDispatch_);
    for (auto& task : tasks)
        task();
    flush();
}

void X11Connection::repliesAwaited() {
    if (onMainThread() || !wakeMainThread_)
        return; // the main loop drains the queue before it sleeps
    if (!wakePending_.exchange(true))
        wakeMainThread_();
}

void X11Connection::flush() {
    xcb_flush(connection_);
}

void X11Connection::selectRootEvents(std::uint32_t mask) {
    rootEventMask_ |= mask;
    xcb_change_window_attributes(connection_, root(), XCB_CW_EVENT_MASK, &rootEventMask_);
}

void X11Connection::deselectRootEvents(std::uint32_t mask) {
    rootEventMask_ &= ~mask;
    xcb_change_window_attributes(connection_, root(), XCB_CW_EVENT_MASK, &rootEventMask_);
}

void X11Connection::checkConnection() {
    if (lostReported_ || !hasError())
        return;
    lostReported_ = true;
    if (connectionLost_)
        connectionLost_();
}

std::uint32_t X11Connection::xfixesMajorVersion() {
    if (xfixesMajor_)
        return *xfixesMajor_;
    xfixesMajor_ = 0;
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(connection_, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return 0;
    XcbReply<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
        connection_,
        xcb_xfixes_query_version(connection_, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
        nullptr));
    repliesAwaited();
    if (version)
        xfixesMajor_ = version->major_version;
    return *xfixesMajor_;
}

} // namespace velmora::x11
