#include "hotkeys/stored_shortcuts.h"

#include <cmath>
#include <limits>

namespace velmora {

std::optional<PlistDictionary> storedShortcuts(const Settings& settings) {
    // Settings answers none for a value of the wrong type.
    auto value = settings.objectForKey(keys::kShortcutOfInput);
    if (!value || !value->dictionary())
        return std::nullopt;
    return *value->dictionary();
}

std::int64_t shortcutField(const PlistValue* value, const std::string& field) {
    const PlistValue* number = value ? value->find(field) : nullptr;
    if (!number)
        return 0;
    if (const std::int64_t* integer = number->integer())
        return *integer;
    if (const double* real = number->real()) {
        if (std::isnan(*real))
            return 0;
        // 2^63 is exactly representable; anything at or beyond it saturates.
        constexpr double kLimit = 9223372036854775808.0;
        if (*real >= kLimit)
            return std::numeric_limits<std::int64_t>::max();
        if (*real <= -kLimit)
            return std::numeric_limits<std::int64_t>::min();
        return static_cast<std::int64_t>(*real);
    }
    return 0;
}

} // namespace velmora
