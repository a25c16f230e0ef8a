// SPDX-License-Identifier: MIT
#pragma once
// The front application on KWin: the agent writes a KWin script (kwin_script_text.h) into a
// folder of its own, loads it through KWin's scripting service and runs it; the script calls
// this object on the agent's bus connection at each activation, each move or resize of the
// window in front and each closed window. Only
// calls from the connection that owns org.kde.KWin count: another caller cannot prove it speaks
// for KWin, so it is ignored (and said once). KWin leaving the bus is the desktop going away.
// The script is unloaded and its file removed when this object goes.
//
// Main thread only, once the QCoreApplication exists.

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusServiceWatcher>
#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace velmora::kde {

// What the script says of a window. Text that is empty, longer than 512 characters or holds
// U+FFFD (bytes that were no UTF-8) counts as not given; numbers saturate.
struct KWinWindow {
    std::string id; // KWin's internal id
    std::optional<std::string> desktopFile;
    std::optional<std::string> resourceClass;
    std::int64_t pid = 0; // 0 when unknown
    std::int32_t x = 0, y = 0, width = 0, height = 0;
};

KWinWindow kwinWindowOf(const QString& id, const QString& desktopFile, const QString& resourceClass,
                        const QString& pid, const QString& geometry);

class KWinActivations : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quorvant.Velmora.KWin")

  public:
    using Log = std::function<void(const std::string& line)>;
    struct Handlers {
        std::function<void(const KWinWindow&)> activated;
        std::function<void(const KWinWindow&)> moved; // the front window's frame changed
        std::function<void(const std::string& id)> closed;
        std::function<void(const std::string& why)> gone; // KWin left the bus
    };
    // How long any one call to KWin may take.
    static constexpr int kCallTimeoutMs = 2000;

    // FOLDER: where the script file goes (created, private to the user).
    KWinActivations(QDBusConnection bus, QString folder, Handlers handlers, Log log);
    ~KWinActivations() override;

    // Exports the object and loads the script; false, with ERROR set, when KWin is not on the
    // bus or the object cannot be exported. KWin refusing the script is said in the log.
    bool start(std::string* error);

  public Q_SLOTS:
    Q_SCRIPTABLE void windowActivated(const QString& id, const QString& desktopFile,
                                      const QString& resourceClass, const QString& pid,
                                      const QString& geometry);
    Q_SCRIPTABLE void windowMoved(const QString& id, const QString& geometry);
    Q_SCRIPTABLE void windowClosed(const QString& id);

  private:
    bool fromKWin();
    void loadScript();
    void startScript();
    void sayOnce(bool& told, const std::string& line);

    QDBusConnection bus_;
    QString folder_;
    QString scriptPath_;
    QString pluginName_;
    Handlers handlers_;
    Log log_;
    QDBusServiceWatcher kwinWatch_;
    QString kwinOwner_; // the unique name that owns org.kde.KWin
    bool loaded_ = false;
    bool toldForeign_ = false;
    bool toldRefused_ = false;
};

} // namespace velmora::kde
