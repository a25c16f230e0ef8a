// SPDX-License-Identifier: MIT
#pragma once
// One agent per user and display: the running agent owns the X selection
// _VELMORA_U<uid>_S<screen>. The server releases it when the agent's connection ends, so a
// crashed agent never blocks the next start. The selection's owner window is also where a later
// start asks the running agent to show itself: a client message _VELMORA_REOPEN sent to that
// window (with no event mask, so the server hands it to the window's maker alone).

#include "x11_connection.h"

#include <functional>
#include <memory>

namespace velmora::x11 {

class SingleInstance {
  public:
    enum class Outcome { Claimed, AlreadyRunning };

    explicit SingleInstance(X11Connection& connection);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the selection unless another agent holds it. The check and the claim happen under a
    // server grab, so two agents started at once cannot both win.
    Outcome claim();

    // For a later start: asks the agent that holds the selection to show itself. False when
    // none holds it (any more).
    bool askToReopen();
    // For the agent that claimed: what a request to reopen does. Main thread.
    void setReopenHandler(std::function<void()> handler);

  private:
    X11Connection& connection_;
    xcb_window_t owner_ = XCB_WINDOW_NONE;
    xcb_atom_t selection_ = XCB_ATOM_NONE;
    xcb_atom_t reopen_ = XCB_ATOM_NONE;
    std::function<void()> reopenHandler_;
    bool listening_ = false;
};

} // namespace velmora::x11
