// SPDX-License-Identifier: MIT
#pragma once
// The program itself as an application: its bundle, the system log.

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

inline constexpr const char* kOwnBundleIdentifier = "com.quorvant.Quorvant-Velmora";
inline constexpr const char* kOwnDisplayName = "Velmora";

// Options of activateWithOptions.
struct ActivationOption {
    enum : std::uint64_t { AllWindows = 1, IgnoringOtherApps = 2 };
};

// Keys of the program's information dictionary.
inline constexpr const char* kShortVersionKey = "CFBundleShortVersionString";
// The pages the settings menu opens, where a desktop or a build sets its own (absent: no
// review page, and the maker's website).
inline constexpr const char* kVelmoraReviewURLKey = "VelmoraReviewURL";
inline constexpr const char* kVelmoraSupportURLKey = "VelmoraSupportURL";
inline constexpr const char* kVelmoraVideoURLKey = "VelmoraVideoURL";

class Application {
  public:
    Application() = default;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application() = default;

    // Where the program was started from (a bundle path or the executable's folder).
    virtual std::string bundlePath() = 0;
    // The program's own URL as the login items know it: the bundle on a bundle desktop, the
    // installed program's path elsewhere.
    virtual std::string bundleURL() { return bundlePath(); }
    // One diagnostic line for the system log. Any thread.
    virtual void log(const std::string& line) = 0;

    // Brings the program to the front (its popover takes the keyboard focus); OPTIONS as
    // above. A desktop that cannot does nothing. Main thread.
    virtual void activateWithOptions(std::uint64_t options) { (void)options; }
    virtual void activateIgnoringOtherApps(bool flag) {
        activateWithOptions(flag ? std::uint64_t{ActivationOption::IgnoringOtherApps} : 0);
    }
    // A string of the program's information dictionary ("CFBundleShortVersionString");
    // none when the program has no such entry.
    virtual std::optional<std::string> objectForInfoDictionaryKey(const std::string& key) {
        (void)key;
        return std::nullopt;
    }
    // The translation of KEY in TABLE (empty: the main table); without one, VALUE, or KEY
    // itself when VALUE is empty.
    virtual std::string localizedStringForKeyValueTable(const std::string& key,
                                                        const std::string& value,
                                                        const std::string& table) {
        (void)table;
        return value.empty() ? key : value;
    }
    // Whether this start is one where the settings stay closed: the program came with the
    // user's session (its window would only be in the way then), or the desktop keeps it
    // closed for another reason of its own. A desktop that does not say: an ordinary start.
    // Main thread.
    virtual bool startedWithSession() { return false; }
    // Ends the program once the current main-thread work returns: pending settings are
    // written and the process exits with status 0. Main thread.
    virtual void terminate() {}
    // Whether the program's status item can be hidden and shown again while the program runs
    // (the "hide the icon" setting takes effect only where it can). A desktop that does not say
    // can.
    virtual bool statusItemCanHide() { return true; }
};

} // namespace velmora
