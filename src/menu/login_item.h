// SPDX-License-Identifier: MIT
#pragma once
// The program's entry in the user's login-items list: the first entry whose target is the
// program's own URL. The list is opened afresh for every operation; a list that cannot be
// opened, an entry that cannot be resolved or an insertion the list refuses is silently
// nothing.
//
// Main thread only.

#include "platform/application.h"
#include "platform/login_items.h"

#include <string>

namespace velmora {

class BundleLoginItem {
  public:
    // LOGINITEMS may be nullptr: a desktop without a login-items list. The program's own URL
    // is asked of APPLICATION at every operation.
    BundleLoginItem(LoginItems* loginItems, Application& application)
        : loginItems_(loginItems), application_(application) {}

    // Appends an entry for the program, without asking whether one exists already.
    void addToLoginItems();
    // Removes the program's first entry; later duplicates stay.
    void removeFromLoginItems();
    // The first entry of LIST that resolves to the program's URL; nullptr when none does.
    // Entries that do not resolve are passed over.
    LoginItemPtr itemRefWithListRef(LoginItemsList& list) const;

  private:
    LoginItems* loginItems_;
    Application& application_;
};

} // namespace velmora
