// SPDX-License-Identifier: MIT
#include "ipc_framing.h"

#include <cstring>

namespace velmora::sway {

std::string encodeMessage(std::uint32_t type, std::string_view payload) {
    const auto length = static_cast<std::uint32_t>(payload.size());
    std::string bytes(kIpcMagic);
    bytes.append(reinterpret_cast<const char*>(&length), sizeof length);
    bytes.append(reinterpret_cast<const char*>(&type), sizeof type);
    bytes.append(payload);
    return bytes;
}

std::optional<IpcMessage> IpcReader::next() {
    if (!error_.empty() || buffer_.size() < kIpcHeaderBytes)
        return std::nullopt;
    if (std::string_view(buffer_).substr(0, kIpcMagic.size()) != kIpcMagic) {
        error_ = "a message without the i3-ipc magic";
        return std::nullopt;
    }
    std::uint32_t length = 0;
    std::uint32_t type = 0;
    std::memcpy(&length, buffer_.data() + kIpcMagic.size(), sizeof length);
    std::memcpy(&type, buffer_.data() + kIpcMagic.size() + sizeof length, sizeof type);
    if (length > kMaxPayloadBytes) {
        error_ = "a message of " + std::to_string(length) + " bytes (at most " +
                 std::to_string(kMaxPayloadBytes) + " are read)";
        return std::nullopt;
    }
    if (buffer_.size() - kIpcHeaderBytes < length)
        return std::nullopt;
    IpcMessage message{type, buffer_.substr(kIpcHeaderBytes, length)};
    buffer_.erase(0, kIpcHeaderBytes + length);
    return message;
}

} // namespace velmora::sway
