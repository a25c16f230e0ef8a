// SPDX-License-Identifier: MIT
#pragma once
// The user's login-items list on the simulated desktop. An entry with an empty path stands
// for one whose target can no longer be found: it does not resolve.

#include "platform/login_items.h"
#include "sim_world.h"
#include "trace.h"

namespace velmora::sim {

class SimLoginItems final : public LoginItems {
  public:
    SimLoginItems(SimWorld& world, Trace& trace) : world_(world), trace_(trace) {}
    // nullptr while the world says the list cannot be opened.
    std::unique_ptr<LoginItemsList> create() override;

  private:
    SimWorld& world_;
    Trace& trace_;
};

} // namespace velmora::sim
