// SPDX-License-Identifier: MIT
#pragma once
// The windows KWin has now, for the command line: a one-shot KWin script (kwinListingScript)
// calls this object on the program's bus connection once per normal window, then once to say
// the list is complete. Only calls from the connection that owns org.kde.KWin count. The script
// is unloaded and its file removed before list() returns.
//
// Main thread only, once the QCoreApplication exists: list() waits in a local event loop.

#include "kwin_activation_script.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>

#include <optional>
#include <string>
#include <vector>

namespace velmora::kde {

class KWinWindowListing : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quorvant.Velmora.KWin")

  public:
    // Windows taken at most; the rest of a longer list is dropped.
    static constexpr std::size_t kMaxWindows = 4096;
    // How long the script's unload may take, after the list.
    static constexpr int kUnloadTimeoutMs = 1000;

    // FOLDER: where the script file goes (created, private to the user).
    KWinWindowListing(QDBusConnection bus, QString folder);

    // The windows, waiting at most TIMEOUTMS in all; none, with WHY, when KWin is not on the
    // bus, refuses the script or does not finish the list in time.
    std::optional<std::vector<KWinWindow>> list(int timeoutMs, std::string* why);

  public Q_SLOTS:
    Q_SCRIPTABLE void window(const QString& id, const QString& desktopFile,
                             const QString& resourceClass, const QString& pid,
                             const QString& geometry);
    Q_SCRIPTABLE void listed();

  Q_SIGNALS:
    void complete();

  private:
    bool fromKWin() const;
    bool runScript(int timeoutMs, std::string* why);

    QDBusConnection bus_;
    QString folder_;
    QString plugin_;
    QString file_;
    QString kwinOwner_;
    std::vector<KWinWindow> windows_;
    bool complete_ = false;
};

} // namespace velmora::kde
