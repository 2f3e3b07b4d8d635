#pragma once
// The frames two Ravelins exchange over TCP when a match is played across machines. Every frame is
// a five-byte header, the payload length (u32, little-endian) and the frame type (u8), followed by
// the payload. Each type has its own largest payload; a frame over it, or of an unknown type, ends
// the connection before its payload is read.
//
// A link starts with the key exchange of link_crypto.h, in the clear: pake start (joiner), pake
// reply (host; the host's frames are sealed from then on), pake confirm (joiner; the joiner's
// frames are sealed from then on). A sealed frame has the type "sealed" and as payload the
// AEAD-sealed inner type (u8) and inner payload; after the exchange every frame is sealed.
//
//   hello      joiner -> host, first sealed frame: "BRLV", protocol version (u8), role (u8:
//              0 player, 1 observer), name length (u8) and name
//   seated     host -> joiner: the seat is held; the text says what the match waits for
//   settings   host -> joiner: the match settings and the seat as a JSON text; the match starts
//   packet     either way: one lobby packet, exactly as a local client sends or receives it
//   keep-alive either way, empty: sent when nothing else was sent for a while
//   bye        either way: the sender ends the connection; the text says why

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lobby {

enum class FrameType : uint8_t {
    kHello = 1,
    kSeated = 2,
    kSettings = 3,
    kPacket = 4,
    kKeepAlive = 5,
    kBye = 6,
    kPakeStart = 7,
    kPakeReply = 8,
    kPakeConfirm = 9,
    kSealed = 10,
};

inline constexpr size_t kFrameHeaderSize = 5;
inline constexpr uint8_t kRemoteProtocolVersion = 2;
// Names are short; a hello longer than this is not one.
inline constexpr size_t kMaxHelloPayload = 4 + 1 + 1 + 1 + 255;

struct FrameHeader {
    FrameType type = FrameType::kKeepAlive;
    uint32_t length = 0;
};

enum class FrameFault { kNone, kType, kTooLong };

// The largest payload a frame of this type may carry.
uint32_t MaxFramePayload(FrameType type);

// Reads a five-byte header: kType for an unknown type, kTooLong for a length over the type's limit.
FrameFault ReadFrameHeader(const uint8_t* bytes, FrameHeader& out);

// The bytes of one frame; the payload must fit the type's limit.
std::vector<uint8_t> EncodeFrame(FrameType type, const uint8_t* payload, size_t size);
std::vector<uint8_t> EncodeFrame(FrameType type, const std::string& text = std::string());

struct Hello {
    bool observer = false;
    std::string name;
};

// The payload of a hello frame.
std::vector<uint8_t> HelloPayload(const Hello& hello);
// The whole hello frame.
std::vector<uint8_t> EncodeHello(const Hello& hello);
// Reads a hello payload; false unless it has the magic, this protocol version, a known role and
// exactly the lengths it states.
bool DecodeHello(const std::vector<uint8_t>& payload, Hello& out);

// A frame's text payload (seated, bye) for logs: printable ASCII only, other bytes as '?'.
std::string FrameText(const std::vector<uint8_t>& payload);

}  // namespace lobby
