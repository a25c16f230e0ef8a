// SPDX-License-Identifier: MIT
#pragma once
// The agent's presence on the session bus while it runs on GNOME: it owns com.quorvant.Velmora,
// the name the Shell extension answers alone, and exports /com/quorvant/Velmora with
// com.quorvant.Velmora.Agent1.ShowSettings(), which the extension's top-bar button calls. Only
// gnome-shell's own connection (the owner of org.gnome.Shell, followed as it changes) may call
// it; any other caller gets org.freedesktop.DBus.Error.AccessDenied.
//
// Main thread only, once the QCoreApplication exists.

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusServiceWatcher>
#include <QObject>

#include <functional>
#include <string>

namespace velmora::gnome {

class GnomeAgentService final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quorvant.Velmora.Agent1")

  public:
    explicit GnomeAgentService(QDBusConnection bus);
    ~GnomeAgentService() override;

    // Exports the object and takes the name; false, with ERROR set, when either fails (another
    // program owns the name).
    bool start(std::string* error);
    // What ShowSettings does. Main thread.
    void setShowSettings(std::function<void()> show) { show_ = std::move(show); }

  public Q_SLOTS:
    Q_SCRIPTABLE void ShowSettings();

  private:
    QDBusConnection bus_;
    QDBusServiceWatcher shellWatch_;
    QString shellOwner_; // the unique name that owns org.gnome.Shell
    std::function<void()> show_;
    bool owned_ = false;
};

} // namespace velmora::gnome
