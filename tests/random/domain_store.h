#pragma once
// The defaults domain of a random run: kept in memory like the simulated desktop's own store,
// but whole, so that the checker can print it as a settings file and read it back, and
// counting its changes, so that it is printed only when it changed.

#include "platform/user_defaults.h"

#include <cstdint>
#include <mutex>

namespace velmora::random {

class DomainStore final : public UserDefaults {
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

    PlistDictionary snapshot() {
        std::lock_guard lock(mutex_);
        return values_;
    }
    std::uint64_t version() {
        std::lock_guard lock(mutex_);
        return version_;
    }

  private:
    std::mutex mutex_;
    PlistDictionary values_;
    std::uint64_t version_ = 0;
};

} // namespace velmora::random
