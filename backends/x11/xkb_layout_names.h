// SPDX-License-Identifier: MIT
#pragma once
// The names XKB gives keyboard layouts, also those the current keymap does not have: what the
// rule table calls a rule's layout after the user took it out of the keymap ("xkb:de" is
// "German"). The name is the one the layout's symbols file gives its group, the same that a
// keymap holding the layout shows.
//
// Main thread only.

#include <map>
#include <optional>
#include <string>

struct xkb_context;

namespace velmora::x11 {

class XkbLayoutNames {
  public:
    XkbLayoutNames();
    ~XkbLayoutNames();
    XkbLayoutNames(const XkbLayoutNames&) = delete;
    XkbLayoutNames& operator=(const XkbLayoutNames&) = delete;

    // The name of the layout of input source ID ("xkb:de", "xkb:us(dvorak)"); none for an ID of
    // another form, or a layout that XKB does not know. Each answer is kept: finding one
    // compiles a keymap of that layout alone, which takes some milliseconds.
    std::optional<std::string> nameOf(const std::string& id);

  private:
    xkb_context* context_ = nullptr;
    std::map<std::string, std::optional<std::string>> known_;
};

} // namespace velmora::x11
