// SPDX-License-Identifier: MIT
#pragma once
// sway's IPC messages on the wire: the magic "i3-ipc", the payload's length and the message
// type as 32-bit integers in the machine's byte order, then the payload (JSON). The socket is
// sway's, but what comes through it is still outside data: a length beyond kMaxPayloadBytes
// or a wrong magic ends the reading for good instead of waiting for bytes that never come.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::sway {

inline constexpr std::string_view kIpcMagic = "i3-ipc";
inline constexpr std::size_t kIpcHeaderBytes = kIpcMagic.size() + 8;
// sway's largest replies are trees of many windows: some hundred kB for a thousand windows.
inline constexpr std::uint32_t kMaxPayloadBytes = 4u << 20;
// Replies to events carry this bit in their type.
inline constexpr std::uint32_t kEventBit = 0x80000000u;

enum MessageType : std::uint32_t {
    kRunCommand = 0,
    kSubscribe = 2,
    kGetTree = 4,
    kGetVersion = 7,
    kGetInputs = 100,
};

enum EventType : std::uint32_t {
    kWindowEvent = kEventBit | 3,
    kBindingEvent = kEventBit | 5,
    kShutdownEvent = kEventBit | 6,
    kInputEvent = kEventBit | 21,
};

std::string encodeMessage(std::uint32_t type, std::string_view payload);

struct IpcMessage {
    std::uint32_t type = 0;
    std::string payload;
};

// Cuts messages out of the bytes as they arrive, in any pieces.
class IpcReader {
  public:
    void feed(std::string_view bytes) { buffer_.append(bytes); }
    // The next whole message; none while it is incomplete or after an error.
    std::optional<IpcMessage> next();
    // Why reading stopped for good; empty while all is well.
    const std::string& error() const { return error_; }

  private:
    std::string buffer_;
    std::string error_;
};

} // namespace velmora::sway
