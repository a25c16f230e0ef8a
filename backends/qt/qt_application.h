// SPDX-License-Identifier: MIT
#pragma once
// The program as an application: where it was started from, its log (a logging category,
// log_categories.h, whose lines reach standard error: the session's log when the desktop starts
// the agent, the terminal otherwise), its texts, and quitting.

#include "log_categories.h"
#include "platform/application.h"

#include <map>
#include <string>

namespace velmora::qt {

class QtApplicationInfo final : public Application {
  public:
    // INFO is the program's information dictionary ("CFBundleShortVersionString": its
    // version); log lines go to CATEGORY. TEXTS has the English text of each of the program's
    // keys that are not already English.
    explicit QtApplicationInfo(std::map<std::string, std::string> info = {},
                               LogCategory category = logAgent,
                               std::map<std::string, std::string> texts = {})
        : info_(std::move(info)), texts_(std::move(texts)), category_(category) {}

    // The folder of the executable.
    std::string bundlePath() override;
    // The executable itself with every link resolved: what a login entry starts.
    std::string bundleURL() override;
    void log(const std::string& line) override;
    std::optional<std::string> objectForInfoDictionaryKey(const std::string& key) override;
    // The program's own keys that are not already English (TEXTS above) have their English
    // text in the main table; any other key is its own text.
    std::string localizedStringForKeyValueTable(const std::string& key, const std::string& value,
                                                const std::string& table) override;
    // Whether the agent was started with the session (its autostart entry's option), as the
    // program's command line said.
    bool startedWithSession() override { return startedWithSession_; }
    void setStartedWithSession(bool started) { startedWithSession_ = started; }
    // Leaves Qt's event loop with status 0 once the current work returns; the program saves
    // the settings after it.
    void terminate() override;

  private:
    const std::map<std::string, std::string> info_;
    const std::map<std::string, std::string> texts_;
    const LogCategory category_;
    bool startedWithSession_ = false;
};

} // namespace velmora::qt
