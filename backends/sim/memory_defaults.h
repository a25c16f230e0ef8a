#pragma once
// The defaults domain kept in memory, for runs that need no file.

#include "platform/user_defaults.h"

#include <map>
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
    }
    void removeObjectForKey(const std::string& key) override {
        std::lock_guard lock(mutex_);
        values_.erase(key);
    }
    void synchronize() override {}

  private:
    std::mutex mutex_;
    std::map<std::string, PlistValue> values_;
};

} // namespace velmora::sim
