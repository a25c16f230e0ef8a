#pragma once
// The agent asks `uptime` whether the machine has been up for less than a minute (then it was
// started with the session, and opening its window would only be in the way). Linux's uptime
// prints "up 0 min" where the agent looks for "secs,", so the question is answered here, from
// /proc/uptime, in the form the agent reads; every other command runs as it is.

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
    explicit UptimeAnswer(ChildProcess& processes, std::string procFolder = "/proc")
        : processes_(processes), procFolder_(std::move(procFolder)) {}

    std::string launchAndReadStandardOutput(const std::string& launchPath,
                                            const std::vector<std::string>& arguments) override;

  private:
    ChildProcess& processes_;
    std::string procFolder_;
};

} // namespace velmora::program
