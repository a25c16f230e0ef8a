// SPDX-License-Identifier: MIT
// Focus command to layout change on sway: focuses the windows of two applications in turn
// through sway's IPC and times, with CLOCK_MONOTONIC, from sending the focus command to the
// input event that shows the expected layout. MODE "direct": this tool itself sends
// xkb_switch_layout as soon as it hears of the focus (what the agent's work costs at least);
// MODE "agent": the agent, with rules for both, does it.
// Usage: velmora_bench_sway_focus MODE COUNT APP:LAYOUT-INDEX:LAYOUT-NAME APP:INDEX:NAME
// ($SWAYSOCK names sway's socket). Prints the median and the 90th percentile in ms.

#include "sway/ipc_framing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace velmora::sway;
using Clock = std::chrono::steady_clock;

namespace {

int connectToSway() {
    const char* path = std::getenv("SWAYSOCK");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (!path || std::strlen(path) >= sizeof address.sun_path)
        return -1;
    std::strcpy(address.sun_path, path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return -1;
    return fd;
}

void sendMessage(int fd, std::uint32_t type, const std::string& payload) {
    const std::string bytes = encodeMessage(type, payload);
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        std::exit(1);
}

// The next message on FD, waiting at most 5 s; exits on failure.
IpcMessage nextMessage(int fd, IpcReader& reader) {
    while (true) {
        if (auto message = reader.next())
            return *message;
        pollfd wait{fd, POLLIN, 0};
        char buffer[65536];
        const ssize_t got = ::poll(&wait, 1, 5000) > 0 ? ::read(fd, buffer, sizeof buffer) : 0;
        if (got <= 0 || !reader.error().empty()) {
            std::fprintf(stderr, "sway did not answer\n");
            std::exit(1);
        }
        reader.feed(std::string_view(buffer, static_cast<std::size_t>(got)));
    }
}

struct Target {
    std::string app;
    std::string index;
    QString name;
};

Target target(const char* text) {
    const QStringList parts = QString(text).split(':');
    return {parts.value(0).toStdString(), parts.value(1).toStdString(), parts.value(2)};
}

double percentile(std::vector<double> values, double part) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(part * static_cast<double>(values.size() - 1))];
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5)
        return 2;
    const bool direct = std::string(argv[1]) == "direct";
    const int count = std::atoi(argv[2]);
    const Target targets[] = {target(argv[3]), target(argv[4])};
    const int events = connectToSway();
    const int commands = connectToSway();
    if (events < 0 || commands < 0 || count < 1)
        return 1;
    IpcReader eventReader;
    IpcReader commandReader;
    sendMessage(events, kSubscribe, R"(["window","input"])");
    nextMessage(events, eventReader);
    std::vector<double> latencies;
    for (int i = 0; i < count; ++i) {
        const Target& goal = targets[i % 2];
        int replies = 1;
        const auto start = Clock::now();
        sendMessage(commands, kRunCommand, "[app_id=\"" + goal.app + "\"] focus");
        while (true) {
            const IpcMessage message = nextMessage(events, eventReader);
            const QJsonObject event =
                QJsonDocument::fromJson(QByteArray::fromStdString(message.payload)).object();
            if (direct && message.type == kWindowEvent && event["change"] == "focus" &&
                event["container"].toObject()["app_id"].toString().toStdString() == goal.app) {
                sendMessage(commands, kRunCommand,
                            "input type:keyboard xkb_switch_layout " + goal.index);
                ++replies;
            }
            if (message.type == kInputEvent && event["change"] == "xkb_layout" &&
                event["input"].toObject()["xkb_active_layout_name"].toString() == goal.name)
                break;
        }
        latencies.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        while (replies-- > 0)
            nextMessage(commands, commandReader);
        // Past the agent's guard after a selection, as between a user's activations.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    std::printf("%s: median %.3f ms, p90 %.3f ms over %d focus changes\n", argv[1],
                percentile(latencies, 0.5), percentile(latencies, 0.9), count);
    return 0;
}
