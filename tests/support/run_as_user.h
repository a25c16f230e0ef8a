// SPDX-License-Identifier: MIT
#pragma once
// Running a step of a test without root's power to write anywhere: the store and the autostart
// tests both check what happens in folders this program may not write.

#include <filesystem>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::test_support {

// Runs STEP in a child process, as the unprivileged user "nobody" when the tests run as root
// (root writes into read-only folders), with FOLDER handed over to that user first. The text
// STEP returns, or a note of how the child ended.
inline std::string runUnprivileged(const std::string& folder,
                                   const std::function<std::string()>& step) {
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0) {
        for (const auto& item : std::filesystem::recursive_directory_iterator(folder))
            ::lchown(item.path().c_str(), kNobody, kNobody);
        ::lchown(folder.c_str(), kNobody, kNobody);
    }
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(3);
        const std::string text = step();
        const ssize_t written = ::write(pipeFds[1], text.data(), text.size());
        ::_exit(written == static_cast<ssize_t>(text.size()) ? 0 : 4);
    }
    ::close(pipeFds[1]);
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child failed: " + std::to_string(status);
    return text;
}

} // namespace velmora::test_support
