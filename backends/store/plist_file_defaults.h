#pragma once
// The per-user defaults domain kept in a property-list file.

#include "platform/user_defaults.h"

#include <memory>
#include <string>

namespace velmora {

// $XDG_CONFIG_HOME/velmora/com.quorvant.Quorvant-Velmora.plist ($HOME/.config when unset).
std::string defaultSettingsFilePath();

// Reads see the file as it is on disk now (another program's edits included), with this
// process's unwritten changes on top. Changes reach the file at synchronize(), at the latest
// a second after they were made, and at destruction; each write replaces the whole file
// atomically. A file that cannot be used is moved aside rather than overwritten. Safe to use
// from several threads.
class PlistFileDefaults final : public UserDefaults {
  public:
    explicit PlistFileDefaults(std::string path);
    ~PlistFileDefaults() override; // writes what is still pending

    std::optional<PlistValue> objectForKey(const std::string& key) override;
    void readObjectForKey(const std::string& key,
                          const std::function<void(const PlistValue*)>& reader) override;
    void setObjectForKey(const PlistValue& value, const std::string& key) override;
    void removeObjectForKey(const std::string& key) override;
    void synchronize() override;

    const std::string& path() const { return path_; }

  private:
    struct State;
    std::string path_;
    std::unique_ptr<State> state_;
};

} // namespace velmora
