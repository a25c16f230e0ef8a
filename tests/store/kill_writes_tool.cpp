// The timing and checking half of scripts/kill-writes.sh (usage() lists the verbs).
//
// run starts COMMAND, pid takes a running process; either is killed with SIGKILL DELAY_US
// microseconds after MOMENT: "start", "create" (a file appears in FOLDER: the writer's
// temporary file, so the kill lands in its write, fsync or rename) or "rename" (a file is
// renamed into FOLDER; the folder's fsync follows). Prints "killed MOMENT" ("late" when it
// never came within 10 s) or "exited STATUS" when the process ended before the kill.
// check prints "missing", "ok changedTimes=N others=M" (M: how many of rewrite's keys other0,
// other1... hold their number) or "corrupt: WHY" (exit 1); libplist reads the file here, not
// the program's store. rewrite writes VERSIONS versions 10 ms apart as another program would
// (writeOtherVersion: even ones in place, odd ones swapped in) and prints "wrote VERSIONS", or
// exits 1 when it found a version that was not a dictionary.

#include "plist_merge.h"

#include <plist/plist.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <string>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace velmora::store_test;
using Clock = std::chrono::steady_clock;

int usage() {
    std::fprintf(stderr,
                 "usage: velmora_kill_writes_tool run MOMENT DELAY_US FOLDER -- COMMAND...\n"
                 "       velmora_kill_writes_tool pid PID MOMENT DELAY_US FOLDER\n"
                 "       velmora_kill_writes_tool check FILE\n"
                 "       velmora_kill_writes_tool rewrite FILE VERSIONS\n");
    return 2;
}

// Whether PID ended; its status then goes to STATUS.
bool ended(pid_t pid, bool ownChild, int* status) {
    if (ownChild)
        return ::waitpid(pid, status, WNOHANG) == pid;
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Waits for MOMENT in the inotify stream FD while PID lives. False when PID ended first.
bool waitForMoment(int fd, uint32_t mask, pid_t pid, bool ownChild, int* status, bool* late) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    alignas(inotify_event) char buffer[4096];
    while (Clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 1) > 0) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->mask & mask)
                    return true;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        if (ended(pid, ownChild, status))
            return false;
    }
    *late = true;
    return true;
}

int killAt(pid_t pid, bool ownChild, int fd, const std::string& moment, long delayUs) {
    int status = 0;
    bool late = false;
    const uint32_t mask = moment == "create" ? IN_CREATE : moment == "rename" ? IN_MOVED_TO : 0;
    if (mask != 0 && !waitForMoment(fd, mask, pid, ownChild, &status, &late)) {
        std::printf("exited %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : 128);
        return 0;
    }
    // Busy for the last stretch: a sleep alone oversleeps by tens of microseconds.
    const auto when = Clock::now() + std::chrono::microseconds(delayUs);
    if (delayUs > 200)
        std::this_thread::sleep_until(when - std::chrono::microseconds(100));
    while (Clock::now() < when) {
    }
    if (ownChild && ended(pid, ownChild, &status)) {
        std::printf("exited %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : 128);
        return 0;
    }
    if (::kill(pid, SIGKILL) != 0) {
        std::printf("exited %d\n", 0);
        return 0;
    }
    if (ownChild) {
        ::waitpid(pid, &status, 0);
        if (WIFEXITED(status)) { // it ended between the last look and the signal
            std::printf("exited %d\n", WEXITSTATUS(status));
            return 0;
        }
    }
    std::printf("killed %s\n", late ? "late" : moment.c_str());
    return 0;
}

int watch(const std::string& folder) {
    int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0 || ::inotify_add_watch(fd, folder.c_str(), IN_CREATE | IN_MOVED_TO) < 0) {
        std::fprintf(stderr, "cannot watch %s: %s\n", folder.c_str(), std::strerror(errno));
        std::exit(2);
    }
    return fd;
}

int check(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::printf(errno == ENOENT ? "missing\n" : "corrupt: cannot be opened\n");
        return errno == ENOENT ? 0 : 1;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    plist_t root = nullptr;
    if (!bytes.empty())
        plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    if (root == nullptr || plist_get_node_type(root) != PLIST_DICT) {
        std::printf("corrupt: %zu bytes that are not a dictionary\n", bytes.size());
        if (root)
            plist_free(root);
        return 1;
    }
    std::string count;
    plist_t node = plist_dict_get_item(root, "changedTimes");
    if (node && plist_get_node_type(node) == PLIST_UINT) {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        count = std::to_string(value);
    }
    uint64_t others = 0;
    for (;; ++others) {
        plist_t other = plist_dict_get_item(root, ("other" + std::to_string(others)).c_str());
        uint64_t value = 0;
        if (other == nullptr || plist_get_node_type(other) != PLIST_UINT)
            break;
        plist_get_uint_val(other, &value);
        if (value != others)
            break;
    }
    plist_free(root);
    std::printf("ok changedTimes=%s others=%llu\n", count.c_str(),
                static_cast<unsigned long long>(others));
    return 0;
}

int rewrite(const std::string& file, int versions) {
    auto next = Clock::now();
    for (int keys = 1; keys <= versions; ++keys, next += std::chrono::milliseconds(10)) {
        std::this_thread::sleep_until(next);
        if (!writeOtherVersion(file, keys, keys % 2 == 0, std::chrono::milliseconds(5))) {
            std::printf("corrupt version found at %d\n", keys);
            return 1;
        }
    }
    std::printf("wrote %d\n", versions);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "check" && argc == 3)
        return check(argv[2]);
    if (verb == "rewrite" && argc == 4)
        return rewrite(argv[2], std::atoi(argv[3]));
    if (verb == "pid" && argc == 6) {
        const int fd = watch(argv[5]);
        return killAt(static_cast<pid_t>(std::atol(argv[2])), false, fd, argv[3],
                      std::atol(argv[4]));
    }
    if (verb == "run" && argc > 6 && std::string(argv[5]) == "--") {
        const int fd = watch(argv[4]);
        const pid_t child = ::fork();
        if (child == 0) {
            ::execvp(argv[6], argv + 6);
            std::_Exit(127);
        }
        if (child < 0)
            return 2;
        return killAt(child, true, fd, argv[2], std::atol(argv[3]));
    }
    return usage();
}
