#pragma once
// The program as an application: where it was started from, and its log, which is standard
// error (the session's log when the desktop starts the agent, the terminal otherwise).

#include "platform/application.h"

#include <map>
#include <mutex>
#include <string>

namespace velmora::qt {

class QtApplicationInfo final : public Application {
  public:
    // INFO is the program's information dictionary ("CFBundleShortVersionString": its
    // version).
    explicit QtApplicationInfo(std::map<std::string, std::string> info = {})
        : info_(std::move(info)) {}

    // The folder of the executable.
    std::string bundlePath() override;
    void log(const std::string& line) override;
    std::optional<std::string> objectForInfoDictionaryKey(const std::string& key) override;

  private:
    std::mutex mutex_;
    std::map<std::string, std::string> info_;
};

} // namespace velmora::qt
