// SPDX-License-Identifier: MIT
#pragma once
// What "velmora rule" checks before and after it stores a rule: whether the input source ID is
// one the program can ever select (else the rule is refused, with the closest ID), and whether
// the application is one the desktop knows (else the rule is stored, with a note naming the
// closest known identity). Plain functions of what the desktop knows, asked by the caller.

#include "platform/text_input_sources.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::program {

// An input source of the keymap now: its ID ("xkb:de") and name ("German").
struct KnownSource {
    std::string id;
    std::string name;
};

// Why an input source ID is refused, and the ID closest to it when one is close.
struct SourceIdRefusal {
    std::string reason; // '"de" is not an input source ID that can be selected (...)'
    std::optional<std::string> closest;
};

// None when ID can be selected some day: the IDs of KEYMAP, xkb:LAYOUT and
// xkb:LAYOUT(VARIANT) that REGISTRY knows (any of that shape when REGISTRY is empty: XKB's
// list could not be read), the first desktop's com.apple.keylayout.NAME, which the program
// maps, and fcitx5:NAME and ibus:ENGINE of the input-method frameworks: those of FRAMEWORK
// (every input method of the one that runs) when it has any of that prefix, else any of that
// shape. The closest ID is looked for among KEYMAP first, then REGISTRY's layouts, then their
// variants; for a framework's ID among FRAMEWORK's of that prefix.
std::optional<SourceIdRefusal> refuseSourceId(const std::string& id,
                                              const std::vector<KnownSource>& keymap,
                                              const std::vector<NamedLayout>& registry,
                                              const std::vector<KnownSource>& framework = {});

// The name among KNOWN closest to WANTED: one that differs only in case, else one within a
// few edits (a quarter of WANTED's length, at least one). None when nothing is that close, or
// WANTED itself is known.
std::optional<std::string> closestName(const std::string& wanted,
                                       const std::vector<std::string>& known);

} // namespace velmora::program
