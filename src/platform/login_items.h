// SPDX-License-Identifier: MIT
#pragma once
// The user's list of programs started at login. Opened afresh for every operation; nothing is
// cached. Main thread only.

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// One entry of the list, as a snapshot saw it.
class LoginItem {
  public:
    LoginItem() = default;
    LoginItem(const LoginItem&) = delete;
    LoginItem& operator=(const LoginItem&) = delete;
    virtual ~LoginItem() = default;
};

using LoginItemPtr = std::shared_ptr<LoginItem>;

// The list, open.
class LoginItemsList {
  public:
    LoginItemsList() = default;
    LoginItemsList(const LoginItemsList&) = delete;
    LoginItemsList& operator=(const LoginItemsList&) = delete;
    virtual ~LoginItemsList() = default;

    // The entries at the moment of the call, in list order.
    virtual std::vector<LoginItemPtr> snapshot() = 0;
    // The program ITEM starts (a bundle URL: the program's path); none when it cannot be
    // resolved.
    virtual std::optional<std::string> resolvedPath(const LoginItem& item) = 0;
    // Appends an entry for URL; the new entry, or nullptr when the list refused it.
    virtual LoginItemPtr appendItem(const std::string& url) = 0;
    // Removes ITEM from the list; an item that is gone already is ignored.
    virtual void removeItem(const LoginItem& item) = 0;
};

class LoginItems {
  public:
    LoginItems() = default;
    LoginItems(const LoginItems&) = delete;
    LoginItems& operator=(const LoginItems&) = delete;
    virtual ~LoginItems() = default;

    // Opens the current user's list; nullptr when it cannot be opened.
    virtual std::unique_ptr<LoginItemsList> create() = 0;
};

} // namespace velmora
