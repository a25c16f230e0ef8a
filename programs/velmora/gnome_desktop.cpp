// SPDX-License-Identifier: MIT
#include "gnome_desktop.h"

#include "platform/application.h"
#include "qt/log_categories.h"

#include <QApplication>
#include <QDBusConnection>

namespace velmora::program {

std::unique_ptr<GnomeDesktop> GnomeDesktop::connect(PlistFileDefaults& store, bool startedAtLogin,
                                                    std::string* error) {
    if (!sessionBusAnswers("GNOME", error))
        return nullptr;
    auto desktop = std::unique_ptr<GnomeDesktop>(new GnomeDesktop(store, startedAtLogin));
    // The name first: the extension answers its owner alone.
    if (!desktop->agent_.start(error))
        return nullptr;
    desktop->shell_.start({
        .focus = [desktop = desktop.get()](
                     const gnome::GnomeFocus& focus) { desktop->workspace_.focusChanged(focus); },
        .appeared = [desktop = desktop.get()] { desktop->layouts_.refresh(); },
        .currentSource =
            [desktop = desktop.get()](const QString& type, const QString& id) {
                desktop->layouts_.currentChanged(type, id);
            },
        .sourcesChanged = [desktop = desktop.get()] { desktop->layouts_.refresh(); },
        .gone =
            [desktop = desktop.get()](const std::string& why) {
                desktop->basics_.info.log(why + "; GNOME is gone: settings saved, exiting");
                desktop->store_.synchronize();
                QApplication::exit(1);
            },
    });
    return desktop;
}

GnomeDesktop::GnomeDesktop(PlistFileDefaults& store, bool startedAtLogin)
    : store_(store), gnomeLog_(qt::infoLog(qt::logGnome)), basics_(startedAtLogin),
      agent_(QDBusConnection::sessionBus()), shell_(QDBusConnection::sessionBus(), gnomeLog_),
      layouts_(shell_, basics_.poster()),
      // GNOME Shell owns IBus in its session: its engines are selected through the shell.
      sources_(layouts_, basics_, false), workspace_(
                                              [this](const gnome::GnomeFocus& focus) {
                                                  // The window tracker's desktop-file id is what
                                                  // sway's app id is: the same lookup.
                                                  return identities_.identify(sway::WindowIdentity{
                                                      focus.desktopId, focus.wmClass, focus.pid});
                                              },
                                              basics_.installedLookup()),
      eventMonitor_("GNOME", gnomeLog_), hotKeyCenter_("GNOME", gnomeLog_),
      shown_(nullptr, workspace_, basics_, store), trayWatch_(shown_.views),
      platform_(sharedPlatform(
          store, basics_, sources_, shown_,
          {workspace_, eventMonitor_, windowList_, screens_, cursor_, &hotKeyCenter_})) {
    workspace_.setURLOpener(openURLOnDesktop);
    sources_.followFront(workspace_,
                         {kApplicationActivatedNotification, kApplicationUnhiddenNotification});
    // The command line's questions, which the extension answers the agent alone.
    const auto line = [](const std::optional<std::string>& id, const std::string& name) {
        return QString::fromStdString(id.value_or("-") + "\t" + name);
    };
    agent_.setListings(
        [this, line] {
            QStringList lines;
            for (const InputSource& source : sources_.selected.sourcesMatching(std::nullopt, false))
                lines.append(line(source.inputSourceID, source.localizedName));
            return lines;
        },
        [this, line] {
            QStringList lines;
            for (const RunningApplication& app : workspace_.runningApplications())
                if (app.bundleIdentifier != kOwnBundleIdentifier)
                    lines.append(line(app.bundleIdentifier, app.localizedName));
            return lines;
        });
    shown_.views.setWaylandIndicator([this]() -> IndicatorViews {
        gnomeLog_("GNOME Shell gives other programs no overlay surfaces: the floating indicator "
                  "is off");
        return {};
    });
}

GnomeDesktop::~GnomeDesktop() = default;

} // namespace velmora::program
