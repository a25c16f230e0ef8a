// SPDX-License-Identifier: MIT
#include "xdg_autostart_login_items.h"

#include "autostart_entry.h"
#include "folder_writes.h"
#include "posix/desktop_entry_file.h"
#include "util/utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace velmora::xdg {

namespace {

// A name or path that goes into a file and to C calls: UTF-8 without a NUL.
bool isUtf8Text(const std::string& text) {
    return util::isValidUtf8(text) && text.find('\0') == std::string::npos;
}

// More entries than anyone starts at login; a folder flooded with files is read this far.
constexpr std::size_t kMaxEntries = 4096;
constexpr std::string_view kSuffix = ".desktop";

std::string reason(int error) {
    return std::system_category().message(error);
}

bool isEntryName(std::string_view name) {
    return name.size() > kSuffix.size() && name.ends_with(kSuffix);
}

// The entries' file names in byte order. A symlink counts by what it points to; a dangling one
// stays in the list (it resolves to nothing). Folders, pipes and devices are no entries.
std::vector<std::string> entryNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (names.size() < kMaxEntries) {
        const dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        if (!isEntryName(entry->d_name))
            continue;
        struct stat status {};
        const bool isFile =
            ::fstatat(::dirfd(dir), entry->d_name, &status, 0) == 0
                ? S_ISREG(status.st_mode)
                : ::fstatat(::dirfd(dir), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                      S_ISLNK(status.st_mode);
        if (isFile)
            names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

class AutostartList final : public LoginItemsList {
  public:
    AutostartList(std::string folder, std::string desktopId,
                  std::function<void(const std::string&)> log, std::string argument)
        : folder_(std::move(folder)), desktopId_(std::move(desktopId)), log_(std::move(log)),
          argument_(std::move(argument)) {}

    std::vector<LoginItemPtr> snapshot() override {
        std::vector<LoginItemPtr> items;
        for (const std::string& name : entryNames(folder_))
            items.push_back(std::make_shared<AutostartItem>(folder_ + "/" + name));
        return items;
    }

    std::optional<std::string> resolvedPath(const LoginItem& item) override {
        const auto* entry = dynamic_cast<const AutostartItem*>(&item);
        if (!entry)
            return std::nullopt;
        const char* path = std::getenv("PATH");
        return resolveAutostartEntry(entry->path(),
                                     path ? std::optional<std::string_view>(path) : std::nullopt);
    }

    LoginItemPtr appendItem(const std::string& url) override {
        const std::string path = folder_ + "/" + desktopId_ + std::string(kSuffix);
        if (desktopId_.empty() || desktopId_.find('/') != std::string::npos ||
            desktopId_.front() == '.' || !isUtf8Text(desktopId_)) {
            log("cannot write an autostart entry for the desktop id \"" + desktopId_ +
                "\": not a usable file name");
            return nullptr;
        }
        if (url.empty() || url.front() != '/' || !isUtf8Text(url)) {
            log("cannot write the autostart entry " + path + ": the program's path \"" + url +
                "\" is not an absolute UTF-8 path");
            return nullptr;
        }
        if (std::optional<std::string> failure = makeFolders(folder_)) {
            log("cannot create the autostart folder " + folder_ + ": " + *failure);
            return nullptr;
        }
        if (std::optional<std::string> failure =
                replaceFile(folder_, desktopId_ + std::string(kSuffix),
                            autostartEntryText(url, desktopId_, argument_))) {
            log("cannot write the autostart entry " + path + ": " + *failure);
            return nullptr;
        }
        return std::make_shared<AutostartItem>(path);
    }

    void removeItem(const LoginItem& item) override {
        const auto* entry = dynamic_cast<const AutostartItem*>(&item);
        // unlink takes a symlink itself away, never the file it points to.
        if (!entry || ::unlink(entry->path().c_str()) == 0)
            return;
        const int error = errno;
        if (error != ENOENT)
            log("cannot remove the autostart entry " + entry->path() + ": " + reason(error));
    }

  private:
    void log(const std::string& line) {
        if (log_)
            log_(line);
    }

    std::string folder_;
    std::string desktopId_;
    std::function<void(const std::string&)> log_;
    std::string argument_;
};

} // namespace

XdgAutostartLoginItems::XdgAutostartLoginItems(std::string autostartFolder, std::string desktopId,
                                               std::function<void(const std::string&)> log,
                                               std::string argument)
    : folder_(std::move(autostartFolder)), desktopId_(std::move(desktopId)), log_(std::move(log)),
      argument_(std::move(argument)) {
    while (folder_.size() > 1 && folder_.back() == '/')
        folder_.pop_back();
}

std::unique_ptr<LoginItemsList> XdgAutostartLoginItems::create() {
    auto fail = [this](const std::string& line) {
        if (log_)
            log_(line);
        return nullptr;
    };
    if (folder_.empty() || folder_.front() != '/')
        return fail("cannot use the autostart folder \"" + folder_ +
                    "\": not an absolute path (is HOME set?)");
    DIR* dir = ::opendir(folder_.c_str());
    const int error = errno;
    if (dir)
        ::closedir(dir);
    else if (error != ENOENT && error != ENOTDIR)
        return fail("cannot list the autostart folder " + folder_ + ": " + reason(error));
    return std::make_unique<AutostartList>(folder_, desktopId_, log_, argument_);
}

bool XdgAutostartLoginItems::bringEntryUpToDate() {
    if (argument_.empty() || folder_.empty() || folder_.front() != '/' || desktopId_.empty() ||
        desktopId_.find('/') != std::string::npos)
        return false;
    const std::string name = desktopId_ + std::string(kSuffix);
    const std::string path = folder_ + "/" + name;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    const std::optional<std::string> text = util::readDesktopFileText(path);
    const std::optional<util::DesktopEntryKeys> keys =
        text ? util::parseDesktopEntry(*text) : std::nullopt;
    if (!keys)
        return false;
    if (auto hidden = keys->find("Hidden");
        hidden != keys->end() && (hidden->second == "true" || hidden->second == "1"))
        return false;
    const std::optional<std::string> updated = withExecArgument(*text, argument_);
    if (!updated)
        return false;
    if (std::optional<std::string> failure = replaceFile(folder_, name, *updated)) {
        if (log_)
            log_("cannot bring the autostart entry " + path + " up to date: " + *failure);
        return false;
    }
    return true;
}

} // namespace velmora::xdg
