// SPDX-License-Identifier: MIT
#pragma once
// The login items of an XDG desktop: the *.desktop files of the user's autostart folder. The
// desktop starts each entry's Exec at login; an entry is the program its Exec starts.
//
// This program writes one entry, "<desktop id>.desktop". A file of that name is ours by its
// name: adding replaces it, whatever it pointed at before, so the folder never holds two
// entries of the program's own making. Every other file is only read; it is removed only when
// the list's user (the login-item operations) picks it as the program's entry because it
// starts the program.

#include "platform/login_items.h"

#include <functional>
#include <string>

namespace velmora::xdg {

// One file of the folder, as a snapshot saw it.
class AutostartItem final : public LoginItem {
  public:
    explicit AutostartItem(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

class XdgAutostartLoginItems final : public LoginItems {
  public:
    // LOG takes one line without the program's own prefix. The entry written starts the
    // program with ARGUMENT (a plain word, or none when empty): how it tells that the desktop
    // started it at login.
    XdgAutostartLoginItems(std::string autostartFolder, std::string desktopId,
                           std::function<void(const std::string&)> log, std::string argument = {});

    // A folder that does not exist (yet) is an empty list: adding makes it. Null only when
    // the folder is there but cannot be read (or its path is not absolute); that is logged.
    std::unique_ptr<LoginItemsList> create() override;

    // The program's entry (the file of its name) as an earlier version wrote it, starting the
    // program without ARGUMENT, gets ARGUMENT at the end of its Exec line; the rest of the file
    // stays as it is. A symlink, a hidden entry, or a file that cannot be read as an entry is
    // left alone. Whether it changed the file; a failed write is logged.
    bool bringEntryUpToDate();

  private:
    std::string folder_;
    std::string desktopId_;
    std::function<void(const std::string&)> log_;
    std::string argument_;
};

} // namespace velmora::xdg
