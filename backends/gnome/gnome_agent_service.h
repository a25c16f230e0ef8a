// SPDX-License-Identifier: MIT
#pragma once
// The agent's presence on the session bus while it runs on GNOME: it owns com.quorvant.Velmora,
// the name the Shell extension answers alone, and exports /com/quorvant/Velmora with
// com.quorvant.Velmora.Agent1.ShowSettings(), which the extension's top-bar button calls. Only
// gnome-shell's own connection (the owner of org.gnome.Shell, followed as it changes) may call
// it; any other caller gets org.freedesktop.DBus.Error.AccessDenied. As the extension answers
// the agent alone, the command line asks the running agent what it knows: InputSources() and
// Applications(), "ID<TAB>name" each (see listingOf).
//
// Main thread only, once the QCoreApplication exists.

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusServiceWatcher>
#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora::gnome {

// A listing's reply, as another program owning the name could send it: at most kMaxSources
// times 4 lines of "ID<TAB>name", each cut to kMaxTextCharacters; none when it is no list of
// strings.
std::optional<std::vector<std::pair<std::string, std::string>>>
listingOf(const QDBusMessage& reply);

// Takes the agent's name on BUS for one question of the command line's to the extension,
// yielding it to an agent that starts meanwhile (which takes it over; the extension then
// refuses the rest of the question). False when another program holds the name.
bool borrowAgentName(QDBusConnection& bus);

class GnomeAgentService final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quorvant.Velmora.Agent1")

  public:
    explicit GnomeAgentService(QDBusConnection bus);
    ~GnomeAgentService() override;

    // Exports the object and takes the name, also from a command line that borrowed it; false,
    // with ERROR set, when either fails (another agent owns the name).
    bool start(std::string* error);
    // What ShowSettings does. Main thread.
    void setShowSettings(std::function<void()> show) { show_ = std::move(show); }
    using Listing = std::function<QStringList()>;
    // What the command line's questions answer. Main thread.
    void setListings(Listing sources, Listing applications) {
        sources_ = std::move(sources);
        applications_ = std::move(applications);
    }

  public Q_SLOTS:
    Q_SCRIPTABLE void ShowSettings();
    Q_SCRIPTABLE QStringList InputSources() { return sources_ ? sources_() : QStringList(); }
    Q_SCRIPTABLE QStringList Applications() {
        return applications_ ? applications_() : QStringList();
    }

  private:
    QDBusConnection bus_;
    QDBusServiceWatcher shellWatch_;
    QString shellOwner_; // the unique name that owns org.gnome.Shell
    std::function<void()> show_;
    Listing sources_, applications_;
    bool owned_ = false;
};

} // namespace velmora::gnome
