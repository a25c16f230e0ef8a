// SPDX-License-Identifier: MIT
#include "sway_desktop.h"

#include "qt/log_categories.h"
#include "xkb_registry_layouts.h"

#include <QApplication>

namespace velmora::program {

std::unique_ptr<SwayDesktop> SwayDesktop::connect(const std::string& socket,
                                                  PlistFileDefaults& store, bool startedAtLogin,
                                                  std::string* error) {
    auto ipc = std::make_unique<sway::SwayIpc>(qt::infoLog(qt::logSway));
    if (!ipc->connectTo(socket, error))
        return nullptr;
    // What runs and which layouts the keyboards have, before anything asks.
    std::optional<QJsonDocument> tree = ipc->ask(sway::kGetTree, "");
    std::optional<QJsonDocument> inputs = ipc->ask(sway::kGetInputs, "");
    if (!tree || !inputs) {
        *error = "sway at " + socket + " did not tell its windows and keyboards";
        return nullptr;
    }
    auto desktop = std::unique_ptr<SwayDesktop>(
        new SwayDesktop(std::move(ipc), *tree, *inputs, store, startedAtLogin));
    desktop->ipc_->send(sway::kSubscribe, R"(["window","input","binding","shutdown"])",
                        [log = desktop->swayLog_](const QJsonDocument& reply) {
                            if (!reply.object().value("success").toBool())
                                log("sway refused to tell of windows, keyboards and bindings");
                        });
    return desktop;
}

SwayDesktop::SwayDesktop(std::unique_ptr<sway::SwayIpc> ipc, const QJsonDocument& tree,
                         const QJsonDocument& inputs, PlistFileDefaults& store, bool startedAtLogin)
    : store_(store), swayLog_(qt::infoLog(qt::logSway)), basics_(startedAtLogin),
      ipc_(std::move(ipc)),
      layouts_(*ipc_, inputs, xkbRegistryLayouts(), basics_.poster(), swayLog_),
      sources_(layouts_, basics_),
      workspace_(
          *ipc_, tree,
          [this](const sway::WindowIdentity& window) { return identities_.identify(window); },
          basics_.installedLookup(), swayLog_),
      eventMonitor_("sway", swayLog_), shown_(nullptr, workspace_, basics_, store),
      trayWatch_(shown_.views), hotKeyCenter_(
                                    *ipc_,
                                    [this](const PlistValue& combo, std::string* problem) {
                                        return keyCombos_.combination(combo, problem);
                                    },
                                    swayLog_),
      platform_(sharedPlatform(
          store, basics_, sources_, shown_,
          {workspace_, eventMonitor_, windowList_, screens_, cursor_, &hotKeyCenter_})) {
    ipc_->setGone([this](const std::string& why) {
        basics_.info.log(why + "; sway is gone: settings saved, exiting");
        store_.synchronize();
        QApplication::exit(1);
    });
    workspace_.setURLOpener(openURLOnDesktop);
    sources_.followFront(workspace_,
                         {kApplicationActivatedNotification, kApplicationUnhiddenNotification});
    shown_.views.setWaylandIndicator([this] {
        return layerShellIndicatorViews([this](const std::string& line) { basics_.info.log(line); },
                                        workspace_.frontFrame(),
                                        [this](FrontFrameObserver observer) {
                                            workspace_.setFrontFrameObserver(std::move(observer));
                                        });
    });
    shown_.views.setKeyTranslation(keyTranslation(
        [this](std::uint32_t nativeKeyCode) { return keyCombos_.storedKeyCode(nativeKeyCode); }));
}

SwayDesktop::~SwayDesktop() {
    shown_.views.setKeyTranslation({});
}

} // namespace velmora::program
