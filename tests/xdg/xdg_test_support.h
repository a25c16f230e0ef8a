#pragma once
// A private temporary folder per test, programs to point entries at, and a way to run a step
// without root's power to write anywhere.

#include <platform/login_items.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace velmora::xdg_test {

namespace fs = std::filesystem;

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "velmora-xdg-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        for (auto it = fs::recursive_directory_iterator(path_, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored))
            if (it->is_directory(ignored) && !it->is_symlink(ignored))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An executable file at PATH (folders made); its path as the resolver reports it.
inline std::string makeProgram(const std::string& path) {
    fs::create_directories(fs::path(path).parent_path());
    writeFile(path, "#!/bin/sh\n");
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    return fs::canonical(path).string();
}

inline std::string entry(const std::string& exec, const std::string& more = "") {
    return "[Desktop Entry]\nType=Application\nName=Some program\nExec=" + exec + "\n" + more;
}

// The program's entry as the login-item operations pick it: the first whose program is URL.
inline LoginItemPtr firstEntryFor(LoginItemsList& list, const std::string& url) {
    for (const LoginItemPtr& item : list.copySnapshot())
        if (list.copyResolvedURL(*item) == url)
            return item;
    return nullptr;
}

// Runs STEP in a child process, as the unprivileged user "nobody" when the tests run as root
// (root writes into read-only folders), with FOLDER handed over to that user first. The text
// STEP returns, or a note of how the child ended.
inline std::string runUnprivileged(const std::string& folder,
                                   const std::function<std::string()>& step) {
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0)
        for (const auto& item : fs::recursive_directory_iterator(folder))
            ::lchown(item.path().c_str(), kNobody, kNobody);
    if (::geteuid() == 0)
        ::lchown(folder.c_str(), kNobody, kNobody);
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

} // namespace velmora::xdg_test
