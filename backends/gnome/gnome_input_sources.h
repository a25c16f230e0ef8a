// SPDX-License-Identifier: MIT
#pragma once
// GNOME's input sources through the Shell extension, in GNOME's order: its keyboard layouts
// as "xkb:us" and "xkb:de(nodeadkeys)" (GNOME spells the variant "de+nodeadkeys"), its IBus
// engines as "ibus:ENGINE". GNOME Shell owns IBus in its session, so an engine is selected
// through the shell as a layout is. The list and the current source are asked when the
// extension appears and when it tells of a change; the InputSources calls answer from what was
// last told, and select() leaves at once.
//
// Main thread only.

#include "gnome_shell_extension.h"

#include "platform/distributed_notifications.h"
#include "platform/input_source_changes.h"
#include "platform/text_input_sources.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::gnome {

// GNOME's source as the agent lists it; INDEX is its place in GNOME's list.
InputSource inputSourceOf(const GnomeSource& gnome, std::size_t index);

class GnomeInputSources final : public InputSources {
  public:
    using Post = std::function<void(DesktopBroadcast)>;

    // SHELL outlives this object. POST announces a new list or current source.
    GnomeInputSources(GnomeShellExtension& shell, Post post);

    // What the extension tells (GnomeShellExtension::Handlers).
    void refresh();
    void currentChanged(const QString& type, const QString& id);

    std::optional<InputSource> currentSource() override;
    std::vector<InputSource> sourcesMatching(const std::optional<std::string>& id,
                                             bool includeAllInstalled) override;
    void select(const InputSource& source) override;

  private:
    void announce();

    GnomeShellExtension& shell_;
    std::vector<GnomeSource> sources_;
    std::optional<std::size_t> current_;
    InputSourceChanges told_;
};

} // namespace velmora::gnome
