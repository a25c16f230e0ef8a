// SPDX-License-Identifier: MIT
#pragma once
// The per-user defaults domain of the program: a persistent dictionary of property-list values.

#include "platform/property_list.h"

#include <functional>
#include <optional>
#include <string>

namespace velmora {

class UserDefaults {
  public:
    UserDefaults() = default;
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;
    virtual ~UserDefaults() = default;

    // The value stored under KEY as it stands now (changes made by other programs included);
    // none when the key is absent. No type check happens here: see engine/settings.h.
    virtual std::optional<PlistValue> objectForKey(const std::string& key) = 0;
    // Lets READER look at the value under KEY (nullptr when absent) without copying it: the
    // rule lookup reads one record out of a dictionary of hundreds. The pointer is valid only
    // during the call, and READER must not call the store. Stores that can lend their value
    // override this.
    virtual void readObjectForKey(const std::string& key,
                                  const std::function<void(const PlistValue*)>& reader) {
        auto value = objectForKey(key);
        reader(value ? &*value : nullptr);
    }
    // Stores VALUE under KEY. The write may reach persistent storage later, but every
    // following objectForKey sees it at once.
    virtual void setObjectForKey(const PlistValue& value, const std::string& key) = 0;
    virtual void removeObjectForKey(const std::string& key) = 0;
    // Writes pending changes to persistent storage now.
    virtual void synchronize() = 0;
};

} // namespace velmora
