// SPDX-License-Identifier: MIT
#pragma once
// The platform services of the simulated desktop, each a thin view on the shared world.
// Every call that changes the desktop puts its effect line into the trace.

#include "platform/application.h"
#include "platform/application_descriptions.h"
#include "platform/child_process.h"
#include "platform/cursor.h"
#include "platform/distributed_notifications.h"
#include "platform/event_monitor.h"
#include "platform/property_list.h"
#include "platform/screens.h"
#include "platform/text_input_sources.h"
#include "platform/window_list.h"
#include "platform/workspace.h"
#include "sim_broadcast_names.h"
#include "sim_world.h"
#include "trace.h"

namespace velmora::sim {

class SimPlatform;

class SimInputSources final : public InputSources {
  public:
    explicit SimInputSources(SimPlatform& desktop) : desktop_(desktop) {}
    std::optional<InputSource> currentSource() override;
    std::vector<InputSource> sourcesMatching(const std::optional<std::string>& id,
                                             bool includeAllInstalled) override;
    void select(const InputSource& source) override;

  private:
    SimPlatform& desktop_;
};

class SimWorkspace final : public Workspace {
  public:
    SimWorkspace(SimWorld& world, Trace& trace) : world_(world), trace_(trace) {}
    std::optional<RunningApplication> frontApplication() override;
    std::vector<RunningApplication> runningApplications() override;
    void addObserver(const std::string& name, Observer observer) override;
    // The first declared installed application with that identifier.
    std::optional<std::string> applicationPath(const std::string& bundleIdentifier) override;
    // Every non-empty path has an icon, named after the path.
    ImagePtr iconForFile(const std::string& path) override;
    // A declared application's bundle path shows its name.
    std::string displayNameAtPath(const std::string& path) override;
    bool openURL(const std::string& url) override;

  private:
    SimWorld& world_;
    Trace& trace_;
};

class SimDesktopBroadcasts final : public DesktopBroadcasts {
  public:
    explicit SimDesktopBroadcasts(SimWorld& world) : world_(world) {}
    // Under the broadcast's simulated name.
    void addObserver(DesktopBroadcast broadcast, Callback callback) override;

  private:
    SimWorld& world_;
};

class SimEventMonitor final : public EventMonitor {
  public:
    explicit SimEventMonitor(SimWorld& world) : world_(world) {}
    void addGlobalMonitor(std::uint64_t mask, Handler handler) override;

  private:
    SimWorld& world_;
};

class SimWindowList final : public WindowList {
  public:
    explicit SimWindowList(SimWorld& world) : world_(world) {}
    PlistArray windowListSnapshot() override { return world_.windows; }

  private:
    SimWorld& world_;
};

class SimScreens final : public Screens {
  public:
    explicit SimScreens(SimWorld& world) : world_(world) {}
    std::optional<Screen> mainScreen() override;
    std::optional<Screen> deepestScreen() override;
    std::optional<Screen> originScreen() override;

  private:
    std::optional<Screen> screen(const std::optional<std::int32_t>& number) const;
    SimWorld& world_;
};

class SimCursor final : public SystemCursor {
  public:
    explicit SimCursor(SimWorld& world) : world_(world) {}
    std::optional<Point> currentSystemCursorHotSpot() override { return world_.cursorHotSpot; }
    std::optional<std::string> currentSystemCursorName() override { return world_.cursorName; }

  private:
    SimWorld& world_;
};

// Child processes are not started: the scenario says what "uptime" prints.
class SimChildProcess final : public ChildProcess {
  public:
    SimChildProcess(SimWorld& world, Trace& trace) : world_(world), trace_(trace) {}
    std::string launchAndReadStandardOutput(const std::string& launchPath,
                                            const std::vector<std::string>& arguments) override;

  private:
    SimWorld& world_;
    Trace& trace_;
};

class SimApplication final : public Application {
  public:
    explicit SimApplication(SimPlatform& desktop) : desktop_(desktop) {}
    std::string bundlePath() override;
    void log(const std::string& line) override;
    void activateWithOptions(std::uint64_t options) override;
    // The bundle's version, and the store's review page.
    std::optional<std::string> objectForInfoDictionaryKey(const std::string& key) override;
    // From the simulated system's version: status item visibility came with 10.12.
    bool statusItemCanHide() override;
    // A developer's build never opens its settings by itself; any other start asks `uptime`
    // (through the traced child process) and counts as one with the session while the machine
    // has been up for less than a minute.
    bool startedWithSession() override;
    // The run ends after the statement that terminated the program.
    void terminate() override;

  private:
    SimPlatform& desktop_;
};

// The world's files, and an Info.plist inside every installed application's bundle
// ({"CFBundleIdentifier", "CFBundleName"}) unless a file of the world takes its place. A chosen
// application is described by its bundle's Info.plist.
class SimPropertyListFiles final : public ApplicationDescriptions {
  public:
    explicit SimPropertyListFiles(SimWorld& world) : world_(world) {}
    std::optional<ApplicationDescription> describeApplication(const std::string& path) override;
    // The dictionary in the file at PATH; none when there is none or it holds no dictionary.
    std::optional<PlistDictionary> dictionaryWithContentsOfFile(const std::string& path);

  private:
    SimWorld& world_;
};

} // namespace velmora::sim
