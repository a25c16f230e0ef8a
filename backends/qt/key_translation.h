// SPDX-License-Identifier: MIT
#pragma once
// How the recorder names keys. Shortcuts are stored by the key's position on the keyboard, not
// by the symbol it types (symbols change with the layout, and the agent changes layouts); the
// desktop's keyboard backend knows how its key codes map to those positions. The Qt views get
// the mapping as functions, so this library does not depend on that backend.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace velmora::qt {

struct KeyTranslation {
    // The stored key code of the key with this native (X) key code; none for a key that cannot
    // be stored.
    std::function<std::optional<std::int64_t>(std::uint32_t nativeKeyCode)> storedKeyCode;
    // What the key with a stored key code is called on its cap ("A", "F1", "Space"); the empty
    // string when it has no name.
    std::function<std::string(std::int64_t keyCode)> label;
};

} // namespace velmora::qt
