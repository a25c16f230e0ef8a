#pragma once
// The agent asks `uptime` whether the machine has been up for less than a minute: then it was
// started with the session, and opening its window would only be in the way. On Linux what
// tells that is the autostart entry, which starts the agent with --autostart; a minute after
// boot says nothing (a session may start much later, or a user start the agent at once). So
// the question is answered here, in the form the agent reads: the time up from /proc/uptime,
// as under a minute when started at login and as at least a minute otherwise. Every other
// command runs as it is.

#include "platform/child_process.h"

#include <ctime>
#include <optional>
#include <string>

namespace velmora::program {

// "HH:MM  up 45 secs, load averages: ..." under a minute, then "up 5 mins,", "up 3:04," and
// "up 2 days,  3:04,". NOW gives the clock time at the front; LOADS the three load averages.
std::string formatUptime(double secondsUp, const std::tm& now, const std::string& loads);

// The seconds since boot from the text of /proc/uptime; none for anything else.
std::optional<double> parseProcUptime(const std::string& text);

class UptimeAnswer final : public ChildProcess {
  public:
    UptimeAnswer(ChildProcess& processes, bool startedAtLogin, std::string procFolder = "/proc")
        : processes_(processes), startedAtLogin_(startedAtLogin),
          procFolder_(std::move(procFolder)) {}

    std::string launchAndReadStandardOutput(const std::string& launchPath,
                                            const std::vector<std::string>& arguments) override;

  private:
    ChildProcess& processes_;
    bool startedAtLogin_;
    std::string procFolder_;
};

} // namespace velmora::program
