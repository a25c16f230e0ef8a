#include "uptime_answer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace velmora::program {

namespace {

std::string readSmallFile(const std::string& path) {
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    return text.substr(0, 256);
}

constexpr double kAMinute = 60;
constexpr double kUnderAMinute = 59;

std::string twoDigits(long value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02ld", value % 100);
    return text;
}

} // namespace

std::optional<double> parseProcUptime(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    double seconds = std::strtod(start, &end);
    if (end == start || !std::isfinite(seconds) || seconds < 0)
        return std::nullopt;
    return seconds;
}

std::string formatUptime(double secondsUp, const std::tm& now, const std::string& loads) {
    // Whole seconds, saturated: a nonsense reading still gives a well-formed line.
    const long total =
        secondsUp >= 1e12 ? 1'000'000'000'000L : static_cast<long>(std::max(secondsUp, 0.0));
    std::string up;
    if (total < 60) {
        up = std::to_string(total) + " secs,";
    } else if (total < 3600) {
        up = std::to_string(total / 60) + " mins,";
    } else {
        long days = total / 86400;
        std::string clock =
            std::to_string(total % 86400 / 3600) + ":" + twoDigits(total % 3600 / 60) + ",";
        up = days > 0 ? std::to_string(days) + (days == 1 ? " day,  " : " days,  ") + clock : clock;
    }
    return twoDigits(now.tm_hour) + ":" + twoDigits(now.tm_min) + "  up " + up +
           " load averages: " + loads + "\n";
}

std::string UptimeAnswer::launchAndReadStandardOutput(const std::string& launchPath,
                                                      const std::vector<std::string>& arguments) {
    const bool asksUptime = launchPath == "/bin/sh" && arguments.size() == 2 &&
                            arguments[0] == "-c" && arguments[1] == "uptime";
    if (asksUptime) {
        std::optional<double> seconds = parseProcUptime(readSmallFile(procFolder_ + "/uptime"));
        // The minute the agent reads stands for the start at login, and nothing else.
        if (startedAtLogin_)
            seconds = std::min(seconds.value_or(0), kUnderAMinute);
        else if (seconds)
            seconds = std::max(*seconds, kAMinute);
        if (seconds) {
            std::istringstream loadavg(readSmallFile(procFolder_ + "/loadavg"));
            std::string one, five, fifteen;
            loadavg >> one >> five >> fifteen;
            std::time_t now = std::time(nullptr);
            std::tm local{};
            localtime_r(&now, &local);
            return formatUptime(*seconds, local, one + " " + five + " " + fifteen);
        }
    }
    return processes_.launchAndReadStandardOutput(launchPath, arguments);
}

} // namespace velmora::program
