// SPDX-License-Identifier: MIT
#include "sway_ipc.h"

#include <QDeadlineTimer>

namespace velmora::sway {

SwayIpc::SwayIpc(Log log) : log_(std::move(log)) {
    QObject::connect(&socket_, &QLocalSocket::readyRead, &socket_, [this] { readAvailable(); });
    QObject::connect(&socket_, &QLocalSocket::disconnected, &socket_,
                     [this] { goneFor("sway's IPC socket closed"); });
}

SwayIpc::~SwayIpc() {
    isGone_ = true; // leaving is no loss of sway
    socket_.abort();
}

bool SwayIpc::connectTo(const std::string& path, std::string* error) {
    socket_.connectToServer(QString::fromStdString(path));
    if (socket_.waitForConnected(kConnectMilliseconds))
        return true;
    if (error)
        *error = "no answer on sway's socket " + path + ": " + socket_.errorString().toStdString();
    socket_.abort();
    return false;
}

std::optional<QJsonDocument> SwayIpc::ask(std::uint32_t type, const std::string& payload) {
    std::optional<QJsonDocument> answer;
    bool answered = false;
    send(type, payload, [&](const QJsonDocument& reply) {
        answered = true;
        if (!reply.isNull())
            answer = reply;
    });
    // Waiting reads: the answer comes through readAvailable, as later ones do.
    QDeadlineTimer deadline(kAskMilliseconds);
    while (!answered && !isGone_ && socket_.waitForReadyRead(deadline.remainingTime()))
        ;
    if (!answered) {
        pending_.clear(); // nothing may take the answer that comes late
        sayOnce("ask", "sway did not answer the question of type " + std::to_string(type));
    }
    return answer;
}

void SwayIpc::send(std::uint32_t type, const std::string& payload, Reply reply) {
    if (isGone_)
        return;
    const std::string bytes = encodeMessage(type, payload);
    socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    socket_.flush(); // now, not when the event loop comes round: a layout switch waits on it
    pending_.push_back(std::move(reply));
}

void SwayIpc::sendNow(std::uint32_t type, const std::string& payload) {
    if (!connected())
        return;
    send(type, payload);
    socket_.waitForBytesWritten(kAskMilliseconds);
}

void SwayIpc::onEvent(std::uint32_t eventType, EventHandler handler) {
    handlers_[eventType] = std::move(handler);
}

void SwayIpc::readAvailable() {
    const QByteArray read = socket_.readAll();
    receive(std::string_view(read.constData(), static_cast<std::size_t>(read.size())));
}

void SwayIpc::receive(std::string_view bytes) {
    reader_.feed(bytes);
    while (!isGone_)
        if (auto message = reader_.next())
            deliver(*message);
        else
            break;
    if (!reader_.error().empty())
        goneFor("sway's IPC socket sent " + reader_.error());
}

void SwayIpc::deliver(const IpcMessage& message) {
    std::optional<QJsonDocument> document = parse(message);
    if (!(message.type & kEventBit)) {
        if (pending_.empty())
            return sayOnce("unasked", "an answer from sway that nothing asked for; ignored");
        Reply reply = std::move(pending_.front());
        pending_.pop_front();
        if (reply)
            reply(document.value_or(QJsonDocument()));
        return;
    }
    if (message.type == kShutdownEvent)
        return goneFor("sway is shutting down");
    auto handler = handlers_.find(message.type);
    if (handler != handlers_.end() && document && document->isObject())
        handler->second(document->object());
}

std::optional<QJsonDocument> SwayIpc::parse(const IpcMessage& message) {
    QJsonParseError error{};
    QByteArray bytes = QByteArray::fromRawData(message.payload.data(),
                                               static_cast<qsizetype>(message.payload.size()));
    QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::IllegalUTF8String) {
        // sway passes on what clients set (an app id, a title): bytes that are no UTF-8 become
        // U+FFFD, so that the rest of the message still counts.
        bytes = QString::fromUtf8(bytes).toUtf8();
        document = QJsonDocument::fromJson(bytes, &error);
    }
    if (error.error == QJsonParseError::NoError)
        return document;
    const std::string type = std::to_string(message.type & ~kEventBit);
    sayOnce("json:" + type, "sway sent a message of type " + type + " that is no JSON (" +
                                error.errorString().toStdString() + "); such messages are ignored");
    return std::nullopt;
}

void SwayIpc::goneFor(const std::string& why) {
    if (isGone_)
        return;
    isGone_ = true;
    pending_.clear();
    socket_.abort();
    if (gone_)
        gone_(why);
}

void SwayIpc::sayOnce(const std::string& kind, const std::string& line) {
    if (said_.insert(kind).second && log_)
        log_(line);
}

} // namespace velmora::sway
