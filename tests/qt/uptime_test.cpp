// The uptime question answered from /proc and the start at login, and child processes with a
// deadline.

#include "qt/qt_child_process.h"
#include "temp_folder.h"
#include "uptime_answer.h"

#include <gtest/gtest.h>

namespace velmora::program {
namespace {

using test_support::TempFolder;

// What the agent looks for: a start within the first minute.
bool saysUnderAMinute(const std::string& text) {
    return text.find("secs,") != std::string::npos;
}

std::tm clockAt(int hour, int minute) {
    std::tm t{};
    t.tm_hour = hour;
    t.tm_min = minute;
    return t;
}

TEST(UptimeText, BothSidesOfTheMinuteTheLongerFormsAndProcReadings) {
    const std::tm now = clockAt(9, 5);
    EXPECT_EQ(formatUptime(0, now, "0.10 0.20 0.30"),
              "09:05  up 0 secs, load averages: 0.10 0.20 0.30\n");
    EXPECT_TRUE(saysUnderAMinute(formatUptime(59.99, now, "")));
    EXPECT_FALSE(saysUnderAMinute(formatUptime(60, now, "")));
    EXPECT_NE(formatUptime(60, now, "").find("up 1 mins,"), std::string::npos);
    EXPECT_NE(formatUptime(3599, now, "").find("up 59 mins,"), std::string::npos);
    EXPECT_NE(formatUptime(3600, now, "").find("up 1:00,"), std::string::npos);
    EXPECT_NE(formatUptime(2 * 86400 + 3 * 3600 + 4 * 60, now, "").find("up 2 days,  3:04,"),
              std::string::npos);
    // Nonsense readings still give a well-formed line, never a crash.
    EXPECT_TRUE(saysUnderAMinute(formatUptime(-5, now, "")));
    EXPECT_FALSE(saysUnderAMinute(formatUptime(1e300, now, "")));
    // What /proc/uptime holds, and what it must not.
    EXPECT_DOUBLE_EQ(*parseProcUptime("12.34 56.78"), 12.34);
    EXPECT_DOUBLE_EQ(*parseProcUptime("350735.47 234388.90\n"), 350735.47);
    for (const char* bad : {"", "uptime", "-1 2", "nan 1", "inf 1"})
        EXPECT_FALSE(parseProcUptime(bad)) << bad;
}

class RecordingProcesses final : public ChildProcess {
  public:
    std::vector<std::vector<std::string>> calls;
    std::string launchAndReadStandardOutput(const std::string& path,
                                            const std::vector<std::string>& args) override {
        std::vector<std::string> call{path};
        call.insert(call.end(), args.begin(), args.end());
        calls.push_back(call);
        return "from the command";
    }
};

TEST(UptimeAnswers, UnderAMinuteExactlyWhenStartedAtLoginOtherCommandsFromTheShell) {
    TempFolder proc("velmora-proc");
    RecordingProcesses processes;
    auto ask = [](UptimeAnswer& from) {
        return from.launchAndReadStandardOutput("/bin/sh", {"-c", "uptime"});
    };
    proc.write("loadavg", "0.52 0.58 0.59 1/467 12345\n");
    for (bool atLogin : {false, true}) {
        UptimeAnswer answer(processes, atLogin, proc.root().string());
        // Booted a moment ago (a user quick to start it) and long ago (a session started late).
        for (const char* up : {"30.52 55.10\n", "7261.00 55.10\n"}) {
            proc.write("uptime", up);
            std::string text = ask(answer);
            EXPECT_EQ(saysUnderAMinute(text), atLogin) << text;
            EXPECT_NE(text.find("load averages: 0.52 0.58 0.59"), std::string::npos) << text;
        }
    }
    EXPECT_TRUE(processes.calls.empty());

    // Other commands go to the shell, and so does uptime when /proc cannot tell, unless the
    // start at login answers it.
    UptimeAnswer answer(processes, false, proc.root().string());
    EXPECT_EQ(answer.launchAndReadStandardOutput("/bin/sh", {"-c", "uptime -p"}),
              "from the command");
    UptimeAnswer unreadable(processes, false, (proc.root() / "missing").string());
    EXPECT_EQ(ask(unreadable), "from the command");
    UptimeAnswer unreadableAtLogin(processes, true, (proc.root() / "missing").string());
    EXPECT_TRUE(saysUnderAMinute(ask(unreadableAtLogin)));
    EXPECT_EQ(processes.calls, (std::vector<std::vector<std::string>>{
                                   {"/bin/sh", "-c", "uptime -p"}, {"/bin/sh", "-c", "uptime"}}));
}

TEST(QtChildProcessDeadline, AChildThatDoesNotEndInTimeGivesNoAnswer) {
    qt::QtChildProcess processes(std::chrono::milliseconds(300));
    EXPECT_EQ(processes.launchAndReadStandardOutput("/bin/sh", {"-c", "echo hello"}), "hello\n");
    // Half an answer is no answer; and the call comes back although the child would run on.
    EXPECT_EQ(processes.launchAndReadStandardOutput("/bin/sh", {"-c", "echo partial; sleep 30"}),
              "");
    EXPECT_EQ(processes.launchAndReadStandardOutput("/nonexistent/program", {}), "");
}

} // namespace
} // namespace velmora::program
