#pragma once
// The program as an application: where it was started from, and its log, which is standard
// error (the session's log when the desktop starts the agent, the terminal otherwise).

#include "platform/application.h"

#include <mutex>

namespace velmora::qt {

class QtApplicationInfo final : public Application {
  public:
    // The folder of the executable.
    std::string bundlePath() override;
    void log(const std::string& line) override;

  private:
    std::mutex mutex_;
};

} // namespace velmora::qt
