// SPDX-License-Identifier: MIT
#pragma once
// A connection to sway's IPC socket ($SWAYSOCK). Requests are answered in the order they were
// sent; events come in between, to the handlers of their type. Apart from the connect and the
// questions asked at start (ask), nothing waits: the socket's bytes are read as they arrive
// on the main thread. A malformed reply or event is dropped and said once per kind; a broken
// frame, or the socket closing, means sway is gone: said once, through the gone handler.
//
// Main thread only.

#include "ipc_framing.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace velmora::sway {

class SwayIpc {
  public:
    using Log = std::function<void(const std::string& line)>;
    // A request's answer; a null document when it was no JSON.
    using Reply = std::function<void(const QJsonDocument& reply)>;
    using EventHandler = std::function<void(const QJsonObject& event)>;
    using Gone = std::function<void(const std::string& why)>;

    static constexpr int kConnectMilliseconds = 500;
    static constexpr int kAskMilliseconds = 2000;

    explicit SwayIpc(Log log);
    ~SwayIpc();
    SwayIpc(const SwayIpc&) = delete;
    SwayIpc& operator=(const SwayIpc&) = delete;

    // False, with the reason in ERROR, when nobody answers at PATH.
    bool connectTo(const std::string& path, std::string* error);
    // Sends and waits (at most kAskMilliseconds) for the answer: for what must be known
    // before the agent starts. None when sway did not answer in time or not in JSON.
    std::optional<QJsonDocument> ask(std::uint32_t type, const std::string& payload);
    void send(std::uint32_t type, const std::string& payload, Reply reply = {});
    // Sends and waits until the bytes are written: for the last words before exit.
    void sendNow(std::uint32_t type, const std::string& payload);
    void onEvent(std::uint32_t eventType, EventHandler handler);
    void setGone(Gone gone) { gone_ = std::move(gone); }
    bool connected() const { return socket_.state() == QLocalSocket::ConnectedState; }

    // Feeds BYTES as if they came from the socket (how recorded conversations are replayed).
    void receive(std::string_view bytes);

  private:
    void readAvailable();
    void deliver(const IpcMessage& message);
    std::optional<QJsonDocument> parse(const IpcMessage& message);
    void goneFor(const std::string& why);
    void sayOnce(const std::string& kind, const std::string& line);

    Log log_;
    QLocalSocket socket_;
    IpcReader reader_;
    std::deque<Reply> pending_;
    std::map<std::uint32_t, EventHandler> handlers_;
    Gone gone_;
    bool isGone_ = false;
    std::set<std::string> said_;
};

} // namespace velmora::sway
