// SPDX-License-Identifier: MIT
#include "shared_desktop_services.h"

#include "agent.h"
#include "application_choices.h"
#include "engine/settings.h"
#include "english_texts.h"
#include "linux_desktop_facts.h"
#include "qt/log_categories.h"
#include "qt/url_opener.h"
#include "x11/chrome_browsers.h"
#include "x11/key_positions.h"

#include "xdg/autostart_folder.h"
#include <QDBusConnection>
#include <QDBusError>

#include <map>

namespace velmora::program {

SharedBasics::SharedBasics(bool startedAtLogin)
    : info(std::map<std::string, std::string>{{kShortVersionKey, VELMORA_VERSION},
                                              {kVelmoraReviewURLKey, VELMORA_REVIEW_PAGE},
                                              {kVelmoraSupportURLKey, VELMORA_SUPPORT_PAGE},
                                              {kVelmoraVideoURLKey, VELMORA_VIDEO_PAGE}},
           qt::logAgent, englishTextsOfOwnKeys()),
      images(qt::infoLog(qt::logQt)), installed(images) {
    info.setStartedWithSession(startedAtLogin);
}

std::function<void(DesktopBroadcast)> SharedBasics::poster() {
    return [this](DesktopBroadcast broadcast) { broadcasts.post(broadcast); };
}

InstalledApplicationLookup SharedBasics::installedLookup() {
    return {
        .applicationPath = [this](const std::string& id) { return installed.desktopFileForId(id); },
        .iconForFile =
            [this](const std::string& path) { return installed.iconForDesktopFile(path); },
        .displayNameAtPath =
            [this](const std::string& path) { return installed.displayNameOfDesktopFile(path); },
    };
}

SharedInputSources::SharedInputSources(InputSources& layouts, SharedBasics& basics, bool ibus)
    : frameworks(makeInputMethodFrameworks(basics.poster(), qt::infoLog(qt::logAgent), ibus)),
      frameworkSources(layouts, frameworks.inOrder(), basics.poster(), qt::infoLog(qt::logAgent)),
      selected(frameworkSources, basics.info) {}

void SharedInputSources::followFront(Workspace& workspace,
                                     std::initializer_list<const char*> notices) {
    for (const char* moved : notices)
        workspace.addObserver(moved, [this](const WorkspaceNotification&) {
            frameworkSources.frontApplicationChanged();
        });
}

SharedViews::SharedViews(x11::X11Connection* connection, Workspace& workspace, SharedBasics& basics,
                         PlistFileDefaults& store)
    : views(connection, qt::infoLog(qt::logQt)),
      autostart(xdg::defaultAutostartFolder(), kOwnBundleIdentifier, qt::infoLog(qt::logXdg),
                kStartedAtLoginOption) {
    views.setApplicationChoices(
        [&workspace] { return currentApplicationChoices(workspace); },
        [&workspace](const qt::ApplicationChoice& choice) {
            auto icon = std::dynamic_pointer_cast<qt::QtImage>(workspace.iconForFile(choice.path));
            return icon ? QIcon(QPixmap::fromImage(icon->image())) : QIcon();
        });
    if (Settings(store).boolForKey(keys::kAutoStartAtLogin) && autostart.bringEntryUpToDate())
        basics.info.log(std::string("the autostart entry now starts velmora with ") +
                        kStartedAtLoginOption);
}

Platform sharedPlatform(PlistFileDefaults& store, SharedBasics& basics, SharedInputSources& sources,
                        SharedViews& shown, const OwnServices& own) {
    return Platform{.defaults = store,
                    .inputSources = sources.selected,
                    .workspace = own.workspace,
                    .distributedNotifications = basics.broadcasts,
                    .eventMonitor = own.eventMonitor,
                    .windowList = own.windowList,
                    .screens = own.screens,
                    .cursor = own.cursor,
                    .runLoop = basics.runLoop,
                    .childProcess = shown.childProcess,
                    .images = basics.images,
                    .application = basics.info,
                    .views = shown.views,
                    .applicationDescriptions = &shown.applicationDescriptions,
                    .hotKeyCenter = own.hotKeyCenter,
                    .loginItems = &shown.autostart,
                    .chromeBrowsers = x11::chromeBrowsers(),
                    .facts = kLinuxDesktopFacts};
}

qt::KeyTranslation keyTranslation(
    std::function<std::optional<std::int64_t>(std::uint32_t nativeKeyCode)> storedKeyCode) {
    return {
        .storedKeyCode = std::move(storedKeyCode),
        .label =
            [](std::int64_t keyCode) {
                const x11::KeyPosition* position = x11::keyPositionOfKeyCode(keyCode);
                return position ? std::string(position->label) : std::string();
            },
    };
}

bool openURLOnDesktop(const std::string& url) {
    return qt::openURLWithDesktop(url, qt::infoLog(qt::logQt));
}

bool sessionBusAnswers(const char* desktop, std::string* error) {
    if (QDBusConnection::sessionBus().isConnected())
        return true;
    *error = std::string(desktop) + ": no session bus (" +
             QDBusConnection::sessionBus().lastError().message().toStdString() + ")";
    return false;
}

} // namespace velmora::program
