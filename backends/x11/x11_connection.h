// SPDX-License-Identifier: MIT
#pragma once
// The agent's own connection to the X server: the root window, the atoms, the extensions it
// uses, and the event pump that hands every event to the services that listen.
//
// Events are read on the main thread only. Waiting for a reply can pull events off the socket
// into xcb's queue without the socket becoming readable again, so the program also calls
// dispatchQueued() whenever its event loop is about to sleep; replies awaited on another thread
// ask the main thread to do that through the wake-up function.

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace velmora::x11 {

// Atoms that are not part of EWMH.
struct ExtraAtoms {
    xcb_atom_t wmState = XCB_ATOM_NONE;          // WM_STATE (ICCCM)
    xcb_atom_t gtkApplicationId = XCB_ATOM_NONE; // _GTK_APPLICATION_ID
    xcb_atom_t kdeDesktopFile = XCB_ATOM_NONE;   // _KDE_NET_WM_DESKTOP_FILE
    xcb_atom_t xkbRulesNames = XCB_ATOM_NONE;    // _XKB_RULES_NAMES
    xcb_atom_t gtkFrameExtents = XCB_ATOM_NONE;  // _GTK_FRAME_EXTENTS
};

class X11Connection {
  public:
    using EventHandler = std::function<void(const xcb_generic_event_t& event)>;

    // Connects to DISPLAYNAME ($DISPLAY when empty). None, with the reason in ERROR, when the
    // display cannot be reached.
    static std::unique_ptr<X11Connection> open(const std::string& displayName, std::string* error);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    xcb_connection_t* xcb() const { return connection_; }
    xcb_ewmh_connection_t& ewmh() { return ewmh_; }
    const ExtraAtoms& atoms() const { return atoms_; }
    xcb_window_t root() const { return screen_->root; }
    xcb_screen_t& screen() const { return *screen_; }
    int screenNumber() const { return screenNumber_; }
    const std::string& displayName() const { return displayName_; }
    int fileDescriptor() const;
    bool hasError() const;

    // XKB, when the server has it (xkbcommon's set-up of the extension succeeded).
    bool hasXkb() const { return xkbDeviceId_ >= 0; }
    std::int32_t xkbDeviceId() const { return xkbDeviceId_; }
    std::uint8_t xkbFirstEvent() const { return xkbFirstEvent_; }
    // The major version of XFixes the server speaks, 0 without it. The first call announces
    // the version this client speaks, which XFixes wants before any other of its requests, and
    // costs a round trip; later calls answer from memory. Main thread.
    std::uint32_t xfixesMajorVersion();

    // The host name this process runs on, for telling our own windows from remote ones.
    const std::string& hostName() const { return hostName_; }

    // HANDLER sees every event, in the order the server sent them. Main thread.
    void addEventHandler(EventHandler handler);
    // What to do once when the connection breaks. Main thread.
    void setConnectionLostHandler(std::function<void()> handler);
    // How a thread other than the main one gets the main thread to run dispatchQueued().
    void setWakeMainThread(std::function<void()> wake);

    // Reads what the server sent and hands it out. Main thread.
    void pump();
    // Hands out the events already in xcb's queue, without reading the socket. Main thread.
    void dispatchQueued();
    // Call after awaiting replies on any thread: events they queued must not wait unseen.
    void repliesAwaited();
    // Runs TASK once the events read so far have been handled, then flushes; at once when no
    // event is being handled. For requests that must not go to the server ahead of what a
    // handler sends for the user (a layout switch). Main thread.
    void afterDispatch(std::function<void()> task);
    void flush();

    // The services share one event mask on the root window: each adds or drops its own bits.
    void selectRootEvents(std::uint32_t mask);
    void deselectRootEvents(std::uint32_t mask);

    bool onMainThread() const { return std::this_thread::get_id() == mainThread_; }
    // Whether the main thread is inside a handler of an event. The server sends events in the
    // order things happened, so a handler has seen every earlier event already.
    bool dispatchingEvent() const { return dispatching_ > 0; }

  private:
    X11Connection() = default;
    void dispatch(xcb_generic_event_t* event);
    void runAfterDispatch();
    void checkConnection();

    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    int screenNumber_ = 0;
    std::string displayName_;
    std::string hostName_;
    xcb_ewmh_connection_t ewmh_{};
    bool ewmhReady_ = false;
    ExtraAtoms atoms_;
    std::int32_t xkbDeviceId_ = -1;
    std::uint8_t xkbFirstEvent_ = 0;
    std::optional<std::uint32_t> xfixesMajor_;
    std::vector<EventHandler> handlers_;
    std::function<void()> connectionLost_;
    bool lostReported_ = false;
    std::function<void()> wakeMainThread_;
    std::atomic<bool> wakePending_{false};
    std::thread::id mainThread_ = std::this_thread::get_id();
    std::uint32_t rootEventMask_ = 0;
    int dispatching_ = 0;
    std::vector<std::function<void()>> afterDispatch_;
};

} // namespace velmora::x11
