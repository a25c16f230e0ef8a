// SPDX-License-Identifier: MIT
#pragma once
// The agent's side of the project's GNOME Shell extension: it answers on gnome-shell's own
// bus connection (org.gnome.Shell, /com/quorvant/Velmora/Shell) and only to the owner of
// com.quorvant.Velmora, to which alone it sends its signals. Whether it is there is found by
// asking it (GetVersion) at start, when GNOME says it was enabled (ExtensionStateChanged) and
// when gnome-shell gets a new owner: nothing is polled. When it does not answer, GNOME's
// extension service tells why, and how to enable it is said once. Every call leaves at once
// with a time-out; every reply and signal is checked before it counts (gnome_shell_replies.h),
// and a wrong one is said once. gnome-shell leaving the bus is the desktop going away.
//
// Main thread only, once the QCoreApplication exists.

#include "gnome_shell_replies.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>

#include <functional>
#include <string>
#include <vector>

namespace velmora::gnome {

class GnomeShellExtension final : public QObject {
    Q_OBJECT

  public:
    using Log = std::function<void(const std::string& line)>;
    using Reply = std::function<void(const QDBusMessage& reply)>;
    struct Handlers {
        std::function<void(const GnomeFocus&)> focus;
        // The extension answers (again): what it holds may be new.
        std::function<void()> appeared;
        std::function<void(const QString& type, const QString& id)> currentSource;
        std::function<void()> sourcesChanged;
        std::function<void(const std::string& why)> gone; // gnome-shell left the bus
    };
    static constexpr int kCallTimeoutMs = 2000;

    GnomeShellExtension(QDBusConnection bus, Log log);
    // Follows the extension's and GNOME's signals and asks the extension whether it is there.
    void start(Handlers handlers);

    // Whether the extension answered last time it was asked.
    bool answering() const { return answering_; }
    // Calls the extension's METHOD; DONE gets the reply, an error or the time-out's.
    void call(const char* method, const QList<QVariant>& arguments, Reply done);
    // Says LINE the first time only.
    void sayOnce(const std::string& line);

  private Q_SLOTS:
    void onFocusChanged(const QDBusMessage& message);
    void onCurrentChanged(const QDBusMessage& message);
    void onSourcesChanged();
    void onExtensionStateChanged(const QDBusMessage& message);

  private:
    void probe();
    void lost(const std::string& why);

    QDBusConnection bus_;
    Log log_;
    Handlers handlers_;
    QDBusServiceWatcher shellWatch_;
    bool answering_ = false;
    bool probing_ = false;
    bool probeAgain_ = false;
    std::vector<std::string> said_;
};

} // namespace velmora::gnome
