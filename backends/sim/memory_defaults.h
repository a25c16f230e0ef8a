// SPDX-License-Identifier: MIT
#pragma once
// The defaults domain kept in memory, for runs that need no file. It counts its changes, so
// that a reader who prints it whole (the random driver's checker) does so only after one.

#include "platform/user_defaults.h"

#include <cstdint>
#include <mutex>

namespace velmora::sim {

class MemoryDefaults final : public UserDefaults {
  public:
    std::optional<PlistValue> objectForKey(const std::string& key) override {
        std::lock_guard lock(mutex_);
        auto it = values_.find(key);
        if (it == values_.end())
            return std::nullopt;
        return it->second;
    }
    void readObjectForKey(const std::string& key,
                          const std::function<void(const PlistValue*)>& reader) override {
        std::lock_guard lock(mutex_);
        auto it = values_.find(key);
        reader(it == values_.end() ? nullptr : &it->second);
    }
    void setObjectForKey(const PlistValue& value, const std::string& key) override {
        std::lock_guard lock(mutex_);
        values_.insert_or_assign(key, value);
        ++version_;
    }
    void removeObjectForKey(const std::string& key) override {
        std::lock_guard lock(mutex_);
        if (values_.erase(key))
            ++version_;
    }
    void synchronize() override {}

    // Every key with its value.
    PlistDictionary snapshot() {
        std::lock_guard lock(mutex_);
        return values_;
    }
    // How many changes there were: every set, and every removal of a key that was there.
    std::uint64_t version() {
        std::lock_guard lock(mutex_);
        return version_;
    }

  private:
    std::mutex mutex_;
    PlistDictionary values_;
    std::uint64_t version_ = 0;
};

} // namespace velmora::sim
