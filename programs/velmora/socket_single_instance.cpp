// SPDX-License-Identifier: MIT
#include "socket_single_instance.h"

#include <QCryptographicHash>
#include <QLocalSocket>
#include <QStandardPaths>

namespace velmora::program {

namespace {

constexpr int kAnswerMilliseconds = 500;

} // namespace

SocketSingleInstance::SocketSingleInstance(const std::string& desktopSocket) {
    const QByteArray session =
        QCryptographicHash::hash(QByteArray::fromStdString(desktopSocket), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    name_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/velmora-" +
            QString::fromLatin1(session) + ".sock";
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] {
        while (QLocalSocket* client = server_.nextPendingConnection()) {
            // Any byte asks to reopen; a later agent that only looks closes without one.
            QObject::connect(client, &QLocalSocket::readyRead, client, [this, client] {
                if (!client->readAll().isEmpty() && reopen_)
                    reopen_();
                client->disconnectFromServer();
            });
            QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        }
    });
}

SocketSingleInstance::Outcome SocketSingleInstance::claim(bool askToReopen) {
    QLocalSocket other;
    other.connectToServer(name_);
    if (other.waitForConnected(kAnswerMilliseconds)) {
        if (askToReopen) {
            other.write("r");
            other.waitForBytesWritten(kAnswerMilliseconds);
        }
        other.disconnectFromServer();
        return Outcome::AlreadyRunning;
    }
    QLocalServer::removeServer(name_); // left by an agent that is gone
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(name_);
    return Outcome::Claimed;
}

} // namespace velmora::program
