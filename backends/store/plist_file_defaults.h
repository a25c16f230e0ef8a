// SPDX-License-Identifier: MIT
#pragma once
// The per-user defaults domain kept in a property-list file.

#include "platform/user_defaults.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace velmora {

// $XDG_CONFIG_HOME/velmora/com.quorvant.Quorvant-Velmora.plist ($HOME/.config when unset).
std::string defaultSettingsFilePath();

// Reads see the file as it is on disk now (another program's edits included), with this
// process's unwritten changes on top. Changes reach the file at synchronize(), at the latest
// a second (the write delay) after they were made, and at destruction; each write replaces the
// whole file atomically. Safe to use from several threads.
//
// A file that cannot be used is never overwritten. Found by the first read, it is moved aside
// and the store starts empty. Found by a later read (someone edited the file while this
// process runs), reads keep answering from the last settings that could be read, and the bad
// file is moved aside just before the next write, which saves those settings with the change.
//
// ReadOnly never writes, creates or moves anything: changes stay in memory, and problem()
// tells why the file could not be used.
//
// Exclusive is ReadWrite for a short-lived command that reads, changes and writes: from before
// the first read until destruction, other processes of this program write nothing, so that a
// change made meanwhile by one of them is not overwritten by this process's copy of its key.
class PlistFileDefaults final : public UserDefaults {
  public:
    enum class Access { ReadWrite, ReadOnly, Exclusive };
    // Hears each line said on standard error about a bad file (moved aside, or kept because it
    // could not be), from the first read on: a program started at login has nobody reading
    // its standard error. Called on the thread that found it (the constructor's, a caller's
    // or the background writer) with the store locked: it must not use the store.
    using BadFileObserver = std::function<void(const std::string& line)>;

    explicit PlistFileDefaults(std::string path, Access access = Access::ReadWrite,
                               BadFileObserver badFileObserver = {});
    ~PlistFileDefaults() override; // writes what is still pending

    std::optional<PlistValue> objectForKey(const std::string& key) override;
    void readObjectForKey(const std::string& key,
                          const std::function<void(const PlistValue*)>& reader) override;
    void setObjectForKey(const PlistValue& value, const std::string& key) override;
    void removeObjectForKey(const std::string& key) override;
    void synchronize() override;

    const std::string& path() const { return path_; }

    // How long after a change its write begins (a second unless set): later changes meanwhile
    // go with it. Zero for a process that may be ended at any moment without warning.
    void setWriteDelay(std::chrono::milliseconds delay);

    // Why the file as it is on disk now cannot be used ("" when it can, or when there is none);
    // reads meanwhile answer from the last settings that could be read. With ReadWrite, a bad
    // file found by the first read was dealt with (and reported) there: this is "" then.
    std::string problem();

    // Whether changes made here have not reached the file (after a write failed, or while a
    // bad file could not be moved aside). They stay in memory and go with the next write.
    bool hasUnsavedChanges();

  private:
    struct State;
    std::string path_;
    std::unique_ptr<State> state_;
};

} // namespace velmora
