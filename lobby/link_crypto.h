#pragma once
// The private link between two Ravelins. Both sides know the join code; neither sends it. They
// run a password-authenticated key exchange keyed by the code (CPace over ristretto255): the
// joiner picks a session id, both map code and session id to a point of the group, each sends
// that point times a fresh secret scalar, and both derive the same key from the other's share.
// Without the code, a peer's share leads to a different key: one guess per connection, and a
// recording of the exchange allows no guesses offline. Each side then proves it has the key (a
// MAC over the transcript; the host first, the joiner second), and every later frame is sealed
// with XChaCha20-Poly1305 under a key of its direction and a counter that both sides keep: a
// frame that was altered, replayed, reordered or dropped does not open.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lobby {

inline constexpr size_t kPakeSessionIdSize = 16;
inline constexpr size_t kPakePointSize = 32;
inline constexpr size_t kPakeTagSize = 32;
inline constexpr size_t kSealOverhead = 16;  // the AEAD's tag
// Sizes of the three exchange frames' payloads: start (magic, version, session id, the joiner's
// share), reply (the host's share, the host's proof) and confirm (the joiner's proof).
inline constexpr size_t kPakeStartSize = 4 + 1 + kPakeSessionIdSize + kPakePointSize;
inline constexpr size_t kPakeReplySize = kPakePointSize + kPakeTagSize;
inline constexpr size_t kPakeConfirmSize = kPakeTagSize;

using LinkKey = std::array<uint8_t, 32>;

struct LinkKeys {
    LinkKey hostToJoiner{};
    LinkKey joinerToHost{};
};

// One side's part of an exchange in progress.
struct PakeState {
    std::array<uint8_t, kPakeSessionIdSize> sessionId{};
    std::array<uint8_t, 32> secret{};  // the scalar
    std::array<uint8_t, kPakePointSize> joinerShare{};
    std::array<uint8_t, kPakePointSize> hostShare{};
    std::array<uint8_t, kPakeTagSize> joinerTag{};  // what the joiner must send to confirm
    LinkKeys keys;
    ~PakeState();
};

// The libsodium library is ready; false when it could not be initialised.
bool LinkCryptoReady();

// Joiner: the start frame's payload for code.
std::vector<uint8_t> PakeStart(const std::string& code, PakeState& state);
// Host: answers a start for code; false when the start is malformed (not a valid share).
bool PakeReply(const std::string& code, const std::vector<uint8_t>& start, PakeState& state,
               std::vector<uint8_t>& reply);
// Joiner: checks the host's proof; false when the host has another code (or is not a host).
// Fills the confirm payload and the keys.
bool PakeFinish(PakeState& state, const std::vector<uint8_t>& reply, std::vector<uint8_t>& confirm);
// Host: checks the joiner's proof; false means the joiner used another code.
bool PakeConfirmed(const PakeState& state, const std::vector<uint8_t>& confirm);

// One direction of a sealed link: frames are numbered from 0, the number is the nonce.
class FrameSeal {
  public:
    explicit FrameSeal(const LinkKey& key) : key_(key) {}
    ~FrameSeal();
    FrameSeal(const FrameSeal&) = delete;
    FrameSeal& operator=(const FrameSeal&) = delete;
    std::vector<uint8_t> Seal(const uint8_t* plain, size_t size);
    // False when the frame does not open as the next one of this direction.
    bool Open(const uint8_t* sealed, size_t size, std::vector<uint8_t>& plain);

  private:
    LinkKey key_;
    uint64_t counter_ = 0;
};

}  // namespace lobby
