// SPDX-License-Identifier: MIT
#pragma once
// A session-bus connection of its own for a one-shot subcommand: Qt D-Bus needs an application
// object, which the command line has none of, so one lives as long as this does (when there is
// none yet), and the connection is closed with it, so that nothing is left behind at exit.

#include <QCoreApplication>
#include <QDBusConnection>

#include <optional>

namespace velmora::program {

class CommandLineBus {
  public:
    // NAME: the connection's own name, one per caller.
    explicit CommandLineBus(const QString& name);
    ~CommandLineBus();
    CommandLineBus(const CommandLineBus&) = delete;
    CommandLineBus& operator=(const CommandLineBus&) = delete;

    // Connected or not (lastError() says why).
    QDBusConnection& bus() { return *bus_; }

  private:
    std::optional<QCoreApplication> application_;
    QString name_;
    std::optional<QDBusConnection> bus_;
};

} // namespace velmora::program
