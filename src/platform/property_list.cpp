// SPDX-License-Identifier: MIT
#include "platform/property_list.h"

namespace velmora {

std::optional<double> PlistValue::number() const {
    if (auto i = integer())
        return static_cast<double>(*i);
    if (auto r = real())
        return *r;
    return std::nullopt;
}

const PlistValue* PlistValue::find(const std::string& key) const {
    auto d = dictionary();
    if (!d)
        return nullptr;
    auto it = d->find(key);
    return it == d->end() ? nullptr : &it->second;
}

} // namespace velmora
