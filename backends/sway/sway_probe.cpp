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

} // namespace

std::optional<std::string> askSway(const std::string& path, std::uint32_t type,
                                   const std::string& payload, int timeoutMilliseconds,
                                   std::string* why) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        *why = "no usable socket path";
        return std::nullopt;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    Descriptor socket{::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)};
    if (socket.fd < 0 ||
        ::connect(socket.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        *why = std::string("cannot connect: ") + std::strerror(errno);
        return std::nullopt;
    }
    const std::string question = encodeMessage(type, payload);
    if (::send(socket.fd, question.data(), question.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(question.size())) {
        *why = "cannot write to it";
        return std::nullopt;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    IpcReader reader;
    while (true) {
        if (auto message = reader.next()) {
            if (message->type == type)
                return std::move(message->payload);
            *why = "it answers, but not as sway does";
            return std::nullopt;
        }
        if (!reader.error().empty()) {
            *why = "it sent " + reader.error();
            return std::nullopt;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd wait{socket.fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0) {
            *why = "no answer within " + std::to_string(timeoutMilliseconds) + " ms";
            return std::nullopt;
        }
        char buffer[4096];
        const ssize_t got = ::read(socket.fd, buffer, sizeof buffer);
        if (got <= 0) {
            *why = "it closed without answering";
            return std::nullopt;
        }
        reader.feed(std::string_view(buffer, static_cast<std::size_t>(got)));
    }
}

SwayProbe probeSway(const std::string& path, int timeoutMilliseconds) {
    SwayProbe probe;
    const std::optional<std::string> answer =
        askSway(path, kGetVersion, "", timeoutMilliseconds, &probe.explanation);
    if (!answer)
        return probe;
    probe.version = QJsonDocument::fromJson(QByteArray::fromStdString(*answer))
                        .object()
                        .value("human_readable")
                        .toString()
                        .toStdString();
    if (probe.version.empty())
        probe.explanation = "it answers, but not as sway does";
    probe.answers = !probe.version.empty();
    return probe;
}

} // namespace velmora::sway
