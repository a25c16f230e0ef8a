// SPDX-License-Identifier: MIT
#include "detection/window_entry.h"

#include "platform/saturating_numbers.h"
#include "platform/window_list.h"

namespace velmora {

namespace {
// Each key as a string made once: the walks look the keys up for every window of every
// snapshot, and building the string each time would cost an allocation per lookup.
enum class Key { OwnerName, Name, IsOnscreen, Layer, Bounds };

const PlistValue* field(const PlistValue& entry, Key key) {
    static const std::string keys[] = {kWindowOwnerNameKey, kWindowNameKey, kWindowIsOnscreenKey,
                                       kWindowLayerKey, kWindowBoundsKey};
    return entry.find(keys[static_cast<int>(key)]);
}
} // namespace

const std::string* windowOwnerName(const PlistValue& entry) {
    const PlistValue* value = field(entry, Key::OwnerName);
    return value ? value->string() : nullptr;
}

const std::string* windowName(const PlistValue& entry) {
    const PlistValue* value = field(entry, Key::Name);
    return value ? value->string() : nullptr;
}

bool windowNameIsNotEmpty(const PlistValue& entry) {
    const std::string* name = windowName(entry);
    return !name || !name->empty();
}

bool windowIsOnscreen(const PlistValue& entry) {
    const PlistValue* value = field(entry, Key::IsOnscreen);
    if (!value)
        return false;
    if (const bool* b = value->boolean())
        return *b;
    if (auto n = value->number())
        return *n != 0;
    return false;
}

std::int32_t windowLayer(const PlistValue& entry) {
    const PlistValue* value = field(entry, Key::Layer);
    if (!value)
        return 0;
    if (const std::int64_t* i = value->integer())
        return wholeNumber32(static_cast<double>(*i));
    if (const double* r = value->real())
        return wholeNumber32(*r);
    return 0;
}

const PlistDictionary* windowBounds(const PlistValue& entry) {
    const PlistValue* value = field(entry, Key::Bounds);
    return value ? value->dictionary() : nullptr;
}

std::int32_t wholeNumber32(double value) {
    return saturatingWhole<std::int32_t>(value);
}

std::int32_t boundsWholeNumber(const PlistDictionary* bounds, const char* key) {
    if (!bounds)
        return 0;
    auto it = bounds->find(key);
    if (it == bounds->end())
        return 0;
    if (const std::int64_t* i = it->second.integer())
        return wholeNumber32(static_cast<double>(*i));
    if (const double* r = it->second.real())
        return wholeNumber32(*r);
    return 0;
}

std::int32_t boundsWholeNumber(const std::optional<PlistDictionary>& bounds, const char* key) {
    return boundsWholeNumber(bounds ? &*bounds : nullptr, key);
}

} // namespace velmora
