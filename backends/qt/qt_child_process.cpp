// SPDX-License-Identifier: MIT
#include "qt_child_process.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>

namespace velmora::qt {

std::string QtChildProcess::launchAndReadStandardOutput(const std::string& launchPath,
                                                        const std::vector<std::string>& arguments) {
    QStringList args;
    for (const std::string& argument : arguments)
        args << QString::fromStdString(argument);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    QDeadlineTimer deadline(deadline_.count());
    process.start(QString::fromStdString(launchPath), args);
    if (!process.waitForStarted(static_cast<int>(deadline.remainingTime())))
        return {};
    QByteArray output;
    // Until the child closes its output, which is when it ends for the commands we run.
    while (process.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            process.kill();
            process.waitForFinished(static_cast<int>(kDefaultDeadline.count()));
            return {};
        }
        process.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        output += process.readAllStandardOutput();
    }
    output += process.readAllStandardOutput();
    return output.toStdString();
}

} // namespace velmora::qt
