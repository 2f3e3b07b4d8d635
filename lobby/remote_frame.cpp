#include "lobby/remote_frame.h"

#include <cstring>

#include "lobby/link_crypto.h"
#include "platform/lobby_socket.h"

namespace lobby {

namespace {

constexpr char kMagic[4] = {'B', 'R', 'L', 'V'};
constexpr uint32_t kMaxTextPayload = 256;
constexpr uint32_t kMaxSettingsPayload = 8192;

}  // namespace

uint32_t MaxFramePayload(FrameType type) {
    switch (type) {
        case FrameType::kHello:
            return kMaxHelloPayload;
        case FrameType::kSeated:
        case FrameType::kBye:
            return kMaxTextPayload;
        case FrameType::kSettings:
            return kMaxSettingsPayload;
        case FrameType::kPacket:
            return platform::kLobbyMaxPacket;
        case FrameType::kKeepAlive:
            return 0;
        case FrameType::kPakeStart:
            return kPakeStartSize;
        case FrameType::kPakeReply:
            return kPakeReplySize;
        case FrameType::kPakeConfirm:
            return kPakeConfirmSize;
        case FrameType::kSealed:
            return 1 + platform::kLobbyMaxPacket + kSealOverhead;  // the largest inner frame, sealed
    }
    return 0;
}

FrameFault ReadFrameHeader(const uint8_t* bytes, FrameHeader& out) {
    const uint32_t length = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                            static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    const uint8_t type = bytes[4];
    if (type < static_cast<uint8_t>(FrameType::kHello) || type > static_cast<uint8_t>(FrameType::kSealed)) {
        return FrameFault::kType;
    }
    out.type = static_cast<FrameType>(type);
    out.length = length;
    return length > MaxFramePayload(out.type) ? FrameFault::kTooLong : FrameFault::kNone;
}

std::vector<uint8_t> EncodeFrame(FrameType type, const uint8_t* payload, size_t size) {
    std::vector<uint8_t> frame(kFrameHeaderSize + size);
    for (int i = 0; i < 4; ++i) {
        frame[i] = static_cast<uint8_t>(size >> (8 * i));
    }
    frame[4] = static_cast<uint8_t>(type);
    if (size > 0) {
        std::memcpy(frame.data() + kFrameHeaderSize, payload, size);
    }
    return frame;
}

std::vector<uint8_t> EncodeFrame(FrameType type, const std::string& text) {
    return EncodeFrame(type, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::vector<uint8_t> HelloPayload(const Hello& hello) {
    std::vector<uint8_t> payload(kMagic, kMagic + 4);
    payload.push_back(kRemoteProtocolVersion);
    payload.push_back(hello.observer ? 1 : 0);
    const size_t size = std::min<size_t>(hello.name.size(), 255);
    payload.push_back(static_cast<uint8_t>(size));
    payload.insert(payload.end(), hello.name.begin(), hello.name.begin() + static_cast<std::ptrdiff_t>(size));
    return payload;
}

std::vector<uint8_t> EncodeHello(const Hello& hello) {
    const std::vector<uint8_t> payload = HelloPayload(hello);
    return EncodeFrame(FrameType::kHello, payload.data(), payload.size());
}

bool DecodeHello(const std::vector<uint8_t>& payload, Hello& out) {
    if (payload.size() < 7 || std::memcmp(payload.data(), kMagic, 4) != 0 ||
        payload[4] != kRemoteProtocolVersion || payload[5] > 1) {
        return false;
    }
    Hello hello;
    hello.observer = payload[5] == 1;
    const size_t size = payload[6];
    if (payload.size() != 7 + size) {
        return false;
    }
    hello.name.assign(reinterpret_cast<const char*>(payload.data() + 7), size);
    out = hello;
    return true;
}

std::string FrameText(const std::vector<uint8_t>& payload) {
    std::string text;
    for (const uint8_t byte : payload) {
        text += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?';
    }
    return text;
}

}  // namespace lobby
