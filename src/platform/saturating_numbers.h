// SPDX-License-Identifier: MIT
#pragma once
// Conversions of numbers that come from outside the program (the settings file, window lists,
// window properties) and may hold any value: NaN reads 0, a value beyond the target's range
// takes the nearest end of it, and a fraction is dropped. Casting such a double straight to
// an integer is undefined behaviour, so every reader goes through here.

#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>

namespace velmora {

template <std::signed_integral Int> Int saturatingWhole(double value) {
    if (std::isnan(value))
        return 0;
    // -min() is a power of two, so it is exactly representable; every double strictly inside
    // (-2^n, 2^n) converts without overflow once its fraction is dropped.
    constexpr double bound = -static_cast<double>(std::numeric_limits<Int>::min());
    if (value >= bound)
        return std::numeric_limits<Int>::max();
    if (value <= -bound)
        return std::numeric_limits<Int>::min();
    return static_cast<Int>(value);
}

// A + B, held at the ends of the range instead of wrapping.
inline std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
    std::int64_t sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? std::numeric_limits<std::int64_t>::max()
                 : std::numeric_limits<std::int64_t>::min();
}

} // namespace velmora
