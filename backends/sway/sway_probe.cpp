// SPDX-License-Identifier: MIT
#include "sway_probe.h"

#include "ipc_framing.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace velmora::sway {

namespace {

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

SwayProbe failed(std::string why) {
    return SwayProbe{false, {}, std::move(why)};
}

} // namespace

SwayProbe probeSway(const std::string& path, int timeoutMilliseconds) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return failed("no usable socket path");
    std::memcpy(address.sun_path, path.data(), path.size());
    Descriptor socket{::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)};
    if (socket.fd < 0 ||
        ::connect(socket.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return failed(std::string("cannot connect: ") + std::strerror(errno));
    const std::string question = encodeMessage(kGetVersion, "");
    if (::send(socket.fd, question.data(), question.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(question.size()))
        return failed("cannot write to it");
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    IpcReader reader;
    while (true) {
        if (auto message = reader.next()) {
            const auto version =
                QJsonDocument::fromJson(QByteArray::fromStdString(message->payload))
                    .object()
                    .value("human_readable")
                    .toString();
            if (message->type != kGetVersion || version.isEmpty())
                return failed("it answers, but not as sway does");
            return SwayProbe{true, version.toStdString(), {}};
        }
        if (!reader.error().empty())
            return failed("it sent " + reader.error());
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd wait{socket.fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0)
            return failed("no answer within " + std::to_string(timeoutMilliseconds) + " ms");
        char buffer[4096];
        const ssize_t got = ::read(socket.fd, buffer, sizeof buffer);
        if (got <= 0)
            return failed("it closed without answering");
        reader.feed(std::string_view(buffer, static_cast<std::size_t>(got)));
    }
}

} // namespace velmora::sway
