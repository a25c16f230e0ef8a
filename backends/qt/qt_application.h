#pragma once
// The program as an application: where it was started from, its log, which is standard
// error (the session's log when the desktop starts the agent, the terminal otherwise), its
// English texts, and quitting.

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
    // The executable itself with every link resolved: what a login entry starts.
    std::string bundleURL() override;
    void log(const std::string& line) override;
    std::optional<std::string> objectForInfoDictionaryKey(const std::string& key) override;
    // The program speaks English: its own keys that are not already English (the Alfred tip)
    // have their English text here.
    std::string localizedStringForKeyValueTable(const std::string& key, const std::string& value,
                                                const std::string& table) override;
    // Leaves Qt's event loop with status 0 once the current work returns; the program saves
    // the settings after it.
    void terminate() override;

  private:
    std::mutex mutex_;
    std::map<std::string, std::string> info_;
};

} // namespace velmora::qt
