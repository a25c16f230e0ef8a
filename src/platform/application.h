#pragma once
// The program itself as an application: its bundle, the system log.

#include <string>

namespace velmora {

inline constexpr const char* kOwnBundleIdentifier = "com.quorvant.Quorvant-Velmora";
inline constexpr const char* kOwnDisplayName = "Velmora";

class Application {
  public:
    Application() = default;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application() = default;

    // Where the program was started from (a bundle path or the executable's folder).
    virtual std::string bundlePath() = 0;
    // One diagnostic line for the system log. Any thread.
    virtual void log(const std::string& line) = 0;
};

} // namespace velmora
