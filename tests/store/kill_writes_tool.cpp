// SPDX-License-Identifier: MIT
// The timing and checking half of scripts/kill-writes.sh (main() lists the verbs).
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

#include <plist/plist.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// Another program writing the settings file with libplist alone, not through this program's
// store. It keeps every key it finds in the file, so that any key lost is lost by the store.

// What is left of FD from its start on.
std::string readAll(int fd) {
    std::string bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(bytes.size()))) > 0;)
        bytes.append(buffer, static_cast<std::size_t>(n));
    return bytes;
}

// The bytes of FILE; none when it cannot be opened.
std::string readPath(const std::string& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "";
    std::string bytes = readAll(fd);
    ::close(fd);
    return bytes;
}

// The keys of BYTES copied into DICT where DICT has none; given OWN (the keys that are DICT's
// own), BYTES is the newer version of every other key, and its values replace DICT's. False
// when BYTES are not a dictionary (no bytes at all are an empty one).
bool mergeInto(plist_t dict, const std::string& bytes, plist_t own = nullptr) {
    if (bytes.empty())
        return true;
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    if (root == nullptr || plist_get_node_type(root) != PLIST_DICT) {
        if (root)
            plist_free(root);
        return false;
    }
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(root, &it);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(root, it, &key, &value);
        if (key == nullptr)
            break;
        if (own ? plist_dict_get_item(own, key) == nullptr
                : plist_dict_get_item(dict, key) == nullptr)
            plist_dict_set_item(dict, key, plist_copy(value));
        std::free(key);
    }
    std::free(it);
    plist_free(root);
    return true;
}

std::string toXml(plist_t dict) {
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(dict, &xml, &length);
    std::string bytes(xml, length);
    plist_to_xml_free(xml);
    return bytes;
}

bool writeWhole(const std::string& file, const std::string& bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written =
        ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && written;
}

// DICT (this program's own keys), with the other keys of FILE merged in, written as the new
// file SWAP and swapped in for FILE. When the swap takes out a version this write did not see
// (another writer's), that version is the newest for every key but this program's own: DICT is
// merged with it and written again, ten rounds at most. Keeping the older values read before
// would write back stale values of the other writer's keys (its switch count, for one). False
// when a version found was not a dictionary.
bool swapInMerging(plist_t dict, const std::string& file, const std::string& swap) {
    plist_t own = plist_copy(dict);
    std::string seen = readPath(file);
    bool whole = mergeInto(dict, seen);
    for (int round = 0; round < 10 && whole; ++round) {
        if (!writeWhole(swap, toXml(dict)))
            break;
        if (::renameat2(AT_FDCWD, swap.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE) != 0) {
            ::rename(swap.c_str(), file.c_str());
            break;
        }
        const std::string taken = readPath(swap);
        if (taken == seen)
            break;
        seen = readPath(file);
        whole = mergeInto(dict, taken, own) && mergeInto(dict, seen);
    }
    plist_free(own);
    ::unlink(swap.c_str());
    return whole;
}

// Version KEYS of the other program: it sets other0 ... other<KEYS-1> and keeps every other
// key it finds. IN_PLACE writes through the descriptor it read from, truncated and then in two
// halves PAUSE apart (a slow writer); else a new file is swapped in. False when a version found
// was not a dictionary.
bool writeOtherVersion(const std::string& file, int keys, bool inPlace,
                       std::chrono::microseconds pause) {
    plist_t dict = plist_new_dict();
    for (int k = 0; k < keys; ++k)
        plist_dict_set_item(dict, ("other" + std::to_string(k)).c_str(), plist_new_uint(k));
    bool whole = true;
    if (inPlace) {
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        whole = mergeInto(dict, readAll(fd));
        const std::string bytes = toXml(dict);
        const std::size_t half = bytes.size() / 2;
        bool written = ::ftruncate(fd, 0) == 0 && ::pwrite(fd, bytes.data(), half, 0) >= 0;
        std::this_thread::sleep_for(pause);
        written = written && ::pwrite(fd, bytes.data() + half, bytes.size() - half,
                                      static_cast<off_t>(half)) >= 0;
        if (!written)
            std::fprintf(stderr, "cannot write %s in place\n", file.c_str());
        ::close(fd);
    } else {
        whole = swapInMerging(dict, file, file + ".other");
    }
    plist_free(dict);
    return whole;
}

using Clock = std::chrono::steady_clock;

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
    bool exited = mask != 0 && !waitForMoment(fd, mask, pid, ownChild, &status, &late);
    if (!exited) {
        // Busy for the last stretch: a sleep alone oversleeps by tens of microseconds.
        const auto when = Clock::now() + std::chrono::microseconds(delayUs);
        if (delayUs > 200)
            std::this_thread::sleep_until(when - std::chrono::microseconds(100));
        while (Clock::now() < when) {
        }
        exited = (ownChild && ended(pid, ownChild, &status)) || ::kill(pid, SIGKILL) != 0;
        // It may have ended between the last look and the signal.
        exited = exited || (ownChild && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status));
    }
    if (exited)
        std::printf("exited %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : 128);
    else
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

// The number under KEY in DICT; none when it holds something else.
std::optional<uint64_t> numberIn(plist_t dict, const std::string& key) {
    plist_t node = plist_dict_get_item(dict, key.c_str());
    uint64_t value = 0;
    if (node == nullptr || plist_get_node_type(node) != PLIST_UINT)
        return std::nullopt;
    plist_get_uint_val(node, &value);
    return value;
}

int check(const std::string& file) {
    if (::access(file.c_str(), F_OK) != 0 && errno == ENOENT)
        return std::printf("missing\n") < 0;
    const std::string bytes = readPath(file); // none when it cannot be opened
    plist_t dict = plist_new_dict();
    if (!mergeInto(dict, bytes) || bytes.empty()) {
        std::printf("corrupt: %zu bytes that are not a dictionary\n", bytes.size());
        plist_free(dict);
        return 1;
    }
    const auto count = numberIn(dict, "changedTimes");
    uint64_t others = 0;
    while (numberIn(dict, "other" + std::to_string(others)) == others)
        ++others;
    plist_free(dict);
    std::printf("ok changedTimes=%s others=%llu\n", count ? std::to_string(*count).c_str() : "",
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
    std::fprintf(stderr,
                 "usage: velmora_kill_writes_tool run MOMENT DELAY_US FOLDER -- COMMAND... |"
                 " pid PID MOMENT DELAY_US FOLDER | check FILE | rewrite FILE VERSIONS\n");
    return 2;
}
