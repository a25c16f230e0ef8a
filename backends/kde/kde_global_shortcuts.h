// SPDX-License-Identifier: MIT
#pragma once
// Global hotkeys on KDE. Wayland lets no client grab keys; KDE's global shortcuts service
// (org.kde.kglobalaccel, inside KWin) binds them for the agent: each hotkey is an action of
// the component "velmora", named by its identifier, given the stored keys (the agent's keys
// win over what kglobalshortcutsrc remembers), and its press comes back as the component's
// signal globalShortcutPressed. The actions are removed when unregistered and at exit. Without
// the service, or for keys it does not take, the hotkeys stay registered but silent, said once.
//
// Main thread only, once the QCoreApplication exists.

#include "platform/hot_keys.h"

#include <QDBusConnection>
#include <QObject>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora::kde {

class KdeGlobalShortcuts final : public QObject, public GlobalShortcuts {
    Q_OBJECT

  public:
    // The Qt key (key code | modifiers) of a stored key combo; none, with PROBLEM set, when it
    // has none.
    using Keys = std::function<std::optional<int>(const PlistValue& combo, std::string* problem)>;
    using Log = std::function<void(const std::string& line)>;
    static constexpr int kCallTimeoutMs = 2000;

    KdeGlobalShortcuts(QDBusConnection bus, Keys keys, Log log);
    ~KdeGlobalShortcuts() override;

    void registerHotKey(const HotKeyPtr& hotKey) override;
    void unregisterHotKey(const HotKeyPtr& hotKey) override;
    HotKeyPtr hotKeyWithIdentifier(const std::string& identifier) override;

  private Q_SLOTS:
    void onPressed(const QString& component, const QString& action, qlonglong timestamp);

  private:
    struct Registration {
        HotKeyPtr hotKey;
        std::optional<int> key; // none: registered but silent
    };

    void bind(const Registration& registration);
    void sayOnce(const std::string& line);

    QDBusConnection bus_;
    Keys keys_;
    Log log_;
    bool serviceRuns_ = false;
    std::vector<Registration> registrations_;
    std::set<std::string> said_;
};

} // namespace velmora::kde
