// SPDX-License-Identifier: MIT
#pragma once
// The system's keyboard input sources (layouts and input methods).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class Image;

inline constexpr const char* kKeyboardLayoutCategory = "TISCategoryKeyboardInputSource";
inline constexpr const char* kPaletteCategory = "TISCategoryPaletteInputSource";

// A snapshot of one input source's properties, as the system reported them when it was listed.
struct InputSource {
    std::optional<std::string> inputSourceID; // none: the source has no ID (never equal to one)
    std::string localizedName;
    std::string category = kKeyboardLayoutCategory;
    bool isSelectCapable = true;
    bool isEnabled = true;
    // Icon: a reference to an image the system holds, else the address of an image file.
    // Both none: the source has no icon. A source without an icon of its own may carry a
    // badge reference (kLayoutBadgeIconRefPrefix in platform/images.h) that the images
    // service draws.
    std::optional<std::string> iconRef;
    std::optional<std::string> iconImageURL;
    // Backend's own handle for selecting this source again (index, group number...).
    std::int64_t nativeHandle = 0;
};

// A keyboard layout or variant as the desktops' keyboard settings name it (the
// xkeyboard-config registry): "de", "nodeadkeys" or "" for the layout itself, "German (no dead
// keys)".
struct NamedLayout {
    std::string layout;
    std::string variant;
    std::string description;
};

// The input source ID every desktop gives LAYOUT: "xkb:de", "xkb:de(nodeadkeys)".
inline std::string inputSourceIdOf(const NamedLayout& layout) {
    return "xkb:" + layout.layout + (layout.variant.empty() ? "" : "(" + layout.variant + ")");
}

class InputSources {
  public:
    InputSources() = default;
    InputSources(const InputSources&) = delete;
    InputSources& operator=(const InputSources&) = delete;
    virtual ~InputSources() = default;

    // The current keyboard input source; none when no keyboard input source is current.
    virtual std::optional<InputSource> currentSource() = 0;
    // The input sources in the system's stable order. With ID set, only sources with exactly
    // that ID (case-sensitive). Installed but disabled sources only when includeAllInstalled.
    // An empty list when nothing matches.
    virtual std::vector<InputSource> sourcesMatching(const std::optional<std::string>& id,
                                                     bool includeAllInstalled) = 0;
    // Makes SOURCE the current keyboard input source. Afterwards the system posts the
    // selected-input-source-changed notification (only when the current source changed).
    virtual void select(const InputSource& source) = 0;
    // Whether ID, as a rule or a shortcut names a source, is the source whose ID is CURRENTID:
    // the same ID, or one that the sources take for it (an input-method framework's entry for
    // a keyboard layout is what "xkb:LAYOUT" finds while the framework runs).
    virtual bool isSameSource(const std::string& id, const std::string& currentID) {
        return id == currentID;
    }
};

} // namespace velmora
