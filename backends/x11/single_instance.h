#pragma once
// One agent per user and display: the running agent owns the X selection
// _VELMORA_U<uid>_S<screen>. The server releases it when the agent's connection ends, so a
// crashed agent never blocks the next start. The selection's owner window is also where a later
// start will ask the running agent to show itself.

#include "x11_connection.h"

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

  private:
    X11Connection& connection_;
    xcb_window_t owner_ = XCB_WINDOW_NONE;
    xcb_atom_t selection_ = XCB_ATOM_NONE;
};

} // namespace velmora::x11
