#pragma once
// The program itself as an application: its bundle, the system log.

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

inline constexpr const char* kOwnBundleIdentifier = "com.quorvant.Quorvant-Velmora";
inline constexpr const char* kOwnDisplayName = "Velmora";

// Options of activateWithOptions.
inline constexpr std::uint64_t ActivationOption::AllWindows = 1;
inline constexpr std::uint64_t ActivationOption::IgnoringOtherApps = 2;

// Keys of the program's information dictionary.
inline constexpr const char* kShortVersionKey = "CFBundleShortVersionString";
// The pages the settings menu opens, where a build sets its own (absent: the store's review
// page and the maker's website).
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
        activateWithOptions(flag ? ActivationOption::IgnoringOtherApps : 0);
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
    // Ends the program once the current main-thread work returns: pending settings are
    // written and the process exits with status 0. Main thread.
    virtual void terminate() {}
    // Whether the system is at least MAJOR.MINOR of the system the program was first written
    // for (status item visibility came with 10.12). A desktop that does not say has every
    // feature: true.
    virtual bool isOperatingSystemAtLeastVersion(int major, int minor) {
        (void)major, (void)minor;
        return true;
    }
};

} // namespace velmora
