// SPDX-License-Identifier: MIT
// Scenario files: errors name their line and run nothing; expectations compare as documented.

#include "scenario_runner.h"
#include "sim_desktop.h"

#include <gtest/gtest.h>

#include <sstream>

namespace velmora::sim {
namespace {

struct Outcome {
    int status;
    std::string failures;
    std::vector<std::string> trace;
};

Outcome run(const std::string& text) {
    SimDesktop desktop;
    std::istringstream in(text);
    std::ostringstream failures;
    int status = runScenarioStream(in, desktop, failures);
    EXPECT_TRUE(desktop.world().windows.empty()) << text;
    return {status, failures.str(), desktop.trace().lines()};
}

const char* kWorld = R"(input com.apple.keylayout.ABC "ABC"
input com.apple.keylayout.German "German"
app com.example.mail "Mail"
defaults velmora = {"com.example.mail": {"id": "com.apple.keylayout.German"}}
)";

TEST(ScenarioErrors, NameTheLineAndRunNothing) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"launch\nfrobnicate\n", "error line 2: unknown statement: frobnicate\n"},
        {"launch\n\n# note\nkeypress 12 100000\n",
         "error line 4: modifier flags must be written 0xHEX: 100000\n"},
        {"launch\nrecord -1 12 0x100000\n",
         "error line 2: row must be a whole number of at least 0: -1\n"},
        {"menu open\n", nullptr},
        {"setting darkMode\n", nullptr},
        {"clear\n", nullptr},
        {"at 100\nat 50\n", "error line 2: time 50 is before the earlier time 100\n"},
        {"launch\nlaunch\n", "error line 2: launch may come only once\n"},
        {"app com.x \"Open\n", "error line 1: unterminated string\n"},
        {"defaults velmora = {\"a\": }\n", nullptr},
        {"input a \"A\" category=pen\n", "error line 1: category must be keyboard or palette\n"},
        {"app a \"A\" colour=red\n", "error line 1: unknown option: colour\n"},
        {"wait soon\n", "error line 1: wait must be whole milliseconds of at least 0\n"},
        {"activate\n", "error line 1: missing argument to activate\n"},
        {"show nothing\n", "error line 1: unknown thing to show: nothing\n"},
        {"screen 1 wide 900\n", "error line 1: screen size must be two numbers of at least 0\n"},
        // The window list, icons and global events.
        {"window a name=\"x\"\n", nullptr},
        {"window a owner=\"A\" bounds=1,2,3\n", nullptr},
        {"window a owner=\"A\" bounds=1,2,3,inf\n", nullptr},
        {"window a owner=\"A\" layer=2.5\n", nullptr},
        {"window-remove a\n", nullptr},
        {"window a owner=\"A\"\nwindow-remove a\nwindow-front a\n", nullptr},
        {"icon x 2 2\n", nullptr},
        {"icon x 2 2 0011223\n", nullptr},
        {"icon x 2 2 00112233 00112233 00112233\n", nullptr},
        {"icon \"\" 1 1 00000000\n", nullptr},
        {"icon x 100000 100000 00000000\n", nullptr},
        {"input a \"A\" icon=ref:\n", nullptr},
        {"input a \"A\" icon=file:x\n", nullptr},
        {"flags 256\n", nullptr},
        {"flags 0x100 time=soon\n", nullptr},
        {"mouseup 10\n", nullptr},
        {"cursor hand\n", nullptr},
    };
    for (const auto& c : cases) {
        Outcome outcome = run(c.text);
        EXPECT_EQ(outcome.status, 2) << c.text;
        if (c.error)
            EXPECT_EQ(outcome.failures, c.error) << c.text;
        else
            EXPECT_TRUE(outcome.failures.starts_with("error line ")) << outcome.failures;
        EXPECT_TRUE(outcome.trace.empty()) << c.text;
    }
}

TEST(ScenarioRun, FailedExpectationsAreCountedAndTheRunGoesOn) {
    Outcome outcome = run(std::string(kWorld) + R"(launch
expect current com.apple.keylayout.German   # wrong on purpose
expect state lastApp=com.example.mail
show current
expect defaults velmora {"com.example.mail": {"id": "com.apple.keylayout.German"}}
expect defaults hideMenuBarIcon absent
)");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.failures,
              "FAIL line 6: expected current com.apple.keylayout.German, got current "
              "com.apple.keylayout.ABC\n"
              "FAIL line 7: expected state lastApp=com.example.mail, got state lastApp=none "
              "lastScreenNumber=0 spotlight=0 alfred=0 realAlfredAppID=none\n");
    EXPECT_EQ(outcome.trace.back(), "0 current com.apple.keylayout.ABC");
}

TEST(ScenarioRun, QuotedHashIsNoComment) {
    Outcome outcome = run(R"(input "id#1" "Name # with hash"   # a comment
current "id#1"
launch
expect current "id#1"
expect current id#1 is cut at the hash, so this line expects "id"
)");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.failures, "FAIL line 5: expected current id, got current id#1\n");
}

TEST(ScenarioRun, WaitCountsFromTheClockAfterABlockingWait) {
    Outcome outcome = run(std::string(kWorld) + R"(launch
at 1000
activate com.example.mail
wait 299
expect current com.apple.keylayout.ABC
wait 1
expect current com.apple.keylayout.German
)");
    EXPECT_EQ(outcome.status, 0) << outcome.failures;
}

} // namespace
} // namespace velmora::sim
