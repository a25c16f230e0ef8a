// SPDX-License-Identifier: MIT
#pragma once
// Puts every write and flush of the agent into the trace, then hands it to the real store.

#include "platform/user_defaults.h"
#include "plist_json.h"
#include "sim/trace.h"

namespace velmora::sim {

class TracingDefaults final : public UserDefaults {
  public:
    TracingDefaults(UserDefaults& store, Trace& trace) : store_(store), trace_(trace) {}

    std::optional<PlistValue> objectForKey(const std::string& key) override {
        return store_.objectForKey(key);
    }
    void readObjectForKey(const std::string& key,
                          const std::function<void(const PlistValue*)>& reader) override {
        store_.readObjectForKey(key, reader);
    }
    void setObjectForKey(const PlistValue& value, const std::string& key) override {
        trace_.emit("defaults set " + key + " " + toCompactJson(value));
        store_.setObjectForKey(value, key);
    }
    void removeObjectForKey(const std::string& key) override { store_.removeObjectForKey(key); }
    void synchronize() override {
        trace_.emit("defaults sync");
        store_.synchronize();
    }

  private:
    UserDefaults& store_;
    Trace& trace_;
};

} // namespace velmora::sim
