// SPDX-License-Identifier: MIT
#include "command_line_bus.h"

namespace velmora::program {

namespace {

int argumentCount = 1;
char programName[] = "velmora";
char* arguments[] = {programName, nullptr};

} // namespace

CommandLineBus::CommandLineBus(const QString& name) : name_(name) {
    if (!QCoreApplication::instance())
        application_.emplace(argumentCount, arguments);
    bus_.emplace(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name_));
}

CommandLineBus::~CommandLineBus() {
    bus_.reset();
    QDBusConnection::disconnectFromBus(name_);
}

} // namespace velmora::program
