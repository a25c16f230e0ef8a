// SPDX-License-Identifier: MIT
#pragma once
// IBus's engines as input sources. IBus describes an engine as a D-Bus structure
// ("IBusEngineDesc", attachments, name, long name, description, language, license, author,
// icon, layout, rank, hotkeys, symbol, setup, layout variant, ...); the replies are untrusted,
// so a description of another shape is no engine, and texts and lists are bounded.

#include "platform/text_input_sources.h"

#include <QVariant>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::ibus {

// IBus knows about a thousand engines (most of them XKB layouts); more are refused.
inline constexpr std::size_t kMaxEngines = 8192;
inline constexpr std::size_t kMaxTextLength = 512;
inline constexpr const char* kIdPrefix = "ibus:";

struct IBusEngine {
    std::string name;     // "libpinyin", "xkb:de::ger"
    std::string longName; // "Intelligent Pinyin", "German"
    std::string icon;     // an icon name or an absolute file path
    std::string layout;   // the XKB layout it types with ("de"; "default" for input methods)
    std::string variant;  // the layout's variant ("" for none)
};

// The engine a description (a D-Bus variant's value) gives; none when it is no description.
std::optional<IBusEngine> engineFromDescription(const QVariant& description);

// The engines of an "av" list of descriptions, in its order; none when ARGUMENT is no such
// list. Descriptions of another shape are left out.
std::optional<std::vector<IBusEngine>> enginesFromList(const QVariant& argument);

// Engine names from an "as" value; none for another type. At most kMaxEngines.
std::optional<std::vector<std::string>> engineNames(const QVariant& value);

// ENGINE as an input source: ID "ibus:NAME", its long name, and its icon: a file for an
// absolute path, the layout's badge for IBus's XKB engines, else the icon name.
InputSource inputSourceOf(const IBusEngine& engine);

// Whether ENGINE is IBus's engine for the layout ID "xkb:LAYOUT" or "xkb:LAYOUT(VARIANT)",
// with which rules made without IBus name layouts.
bool typesLayout(const IBusEngine& engine, std::string_view layoutId);

// Whether the input source ID names IBus's engine for the layout ID LAYOUTID, read from the
// engine's name alone ("ibus:xkb:de:nodeadkeys:deu" for "xkb:de(nodeadkeys)"): for callers
// without IBus's list of engines.
bool standsForLayout(std::string_view id, std::string_view layoutId);

} // namespace velmora::ibus
