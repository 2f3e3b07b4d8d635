#include "lobby/link_crypto.h"

#include <sodium.h>

#include <cstring>

namespace lobby {

namespace {

constexpr char kMagic[4] = {'B', 'R', 'L', 'K'};
constexpr uint8_t kPakeVersion = 1;
constexpr char kGeneratorLabel[] = "Brightlea link CPace generator";
constexpr char kKeyLabel[] = "Brightlea link CPace key";

// H(label || length-prefixed parts) of outSize bytes, optionally keyed.
void Hash(uint8_t* out, size_t outSize, const uint8_t* key, size_t keySize,
          std::initializer_list<std::pair<const uint8_t*, size_t>> parts) {
    crypto_generichash_state state;
    crypto_generichash_init(&state, key, keySize, outSize);
    for (const auto& [data, size] : parts) {
        const uint8_t length[2] = {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8)};
        crypto_generichash_update(&state, length, sizeof length);
        crypto_generichash_update(&state, data, size);
    }
    crypto_generichash_final(&state, out, outSize);
}

const uint8_t* Bytes(const char* text) {
    return reinterpret_cast<const uint8_t*>(text);
}

// The group element both sides derive from the code and the session id.
bool Generator(const std::string& code, const uint8_t* sessionId, uint8_t point[kPakePointSize]) {
    uint8_t wide[crypto_core_ristretto255_HASHBYTES];
    Hash(wide, sizeof wide, nullptr, 0,
         {{Bytes(kGeneratorLabel), sizeof kGeneratorLabel - 1},
          {Bytes(code.c_str()), code.size()},
          {sessionId, kPakeSessionIdSize}});
    const bool made = crypto_core_ristretto255_from_hash(point, wide) == 0;
    sodium_memzero(wide, sizeof wide);
    return made;
}

// A fresh secret scalar and its share: the generator times the scalar.
bool Share(const std::string& code, PakeState& state, uint8_t share[kPakePointSize]) {
    uint8_t generator[kPakePointSize];
    if (!Generator(code, state.sessionId.data(), generator)) {
        return false;
    }
    crypto_core_ristretto255_scalar_random(state.secret.data());
    const bool made = crypto_scalarmult_ristretto255(share, state.secret.data(), generator) == 0;
    sodium_memzero(generator, sizeof generator);
    return made;
}

// From the other side's share: the common key and both proofs. False for a share that is not a
// valid element or that gives the identity.
bool DeriveKeys(PakeState& state, const uint8_t* otherShare, uint8_t hostTag[kPakeTagSize]) {
    uint8_t shared[kPakePointSize];
    if (crypto_core_ristretto255_is_valid_point(otherShare) != 1 ||
        crypto_scalarmult_ristretto255(shared, state.secret.data(), otherShare) != 0) {
        return false;
    }
    uint8_t key[crypto_generichash_BYTES_MAX];
    Hash(key, sizeof key, nullptr, 0,
         {{Bytes(kKeyLabel), sizeof kKeyLabel - 1},
          {state.sessionId.data(), state.sessionId.size()},
          {state.joinerShare.data(), kPakePointSize},
          {state.hostShare.data(), kPakePointSize},
          {shared, sizeof shared}});
    sodium_memzero(shared, sizeof shared);
    const auto derive = [&](const char* label, uint8_t* out, size_t size) {
        Hash(out, size, key, sizeof key,
             {{Bytes(label), std::strlen(label)},
              {state.sessionId.data(), state.sessionId.size()},
              {state.joinerShare.data(), kPakePointSize},
              {state.hostShare.data(), kPakePointSize}});
    };
    derive("host proof", hostTag, kPakeTagSize);
    derive("joiner proof", state.joinerTag.data(), kPakeTagSize);
    derive("host to joiner", state.keys.hostToJoiner.data(), state.keys.hostToJoiner.size());
    derive("joiner to host", state.keys.joinerToHost.data(), state.keys.joinerToHost.size());
    sodium_memzero(key, sizeof key);
    sodium_memzero(state.secret.data(), state.secret.size());
    return true;
}

}  // namespace

PakeState::~PakeState() {
    sodium_memzero(secret.data(), secret.size());
    sodium_memzero(&keys, sizeof keys);
}

bool LinkCryptoReady() {
    return sodium_init() >= 0;
}

std::vector<uint8_t> PakeStart(const std::string& code, PakeState& state) {
    randombytes_buf(state.sessionId.data(), state.sessionId.size());
    std::vector<uint8_t> start(kMagic, kMagic + 4);
    start.push_back(kPakeVersion);
    start.insert(start.end(), state.sessionId.begin(), state.sessionId.end());
    if (!Share(code, state, state.joinerShare.data())) {
        return {};
    }
    start.insert(start.end(), state.joinerShare.begin(), state.joinerShare.end());
    return start;
}

bool PakeReply(const std::string& code, const std::vector<uint8_t>& start, PakeState& state,
               std::vector<uint8_t>& reply) {
    if (start.size() != kPakeStartSize || std::memcmp(start.data(), kMagic, 4) != 0 ||
        start[4] != kPakeVersion) {
        return false;
    }
    std::memcpy(state.sessionId.data(), start.data() + 5, kPakeSessionIdSize);
    std::memcpy(state.joinerShare.data(), start.data() + 5 + kPakeSessionIdSize, kPakePointSize);
    uint8_t hostTag[kPakeTagSize];
    if (!Share(code, state, state.hostShare.data()) ||
        !DeriveKeys(state, state.joinerShare.data(), hostTag)) {
        return false;
    }
    reply.assign(state.hostShare.begin(), state.hostShare.end());
    reply.insert(reply.end(), hostTag, hostTag + kPakeTagSize);
    return true;
}

bool PakeFinish(PakeState& state, const std::vector<uint8_t>& reply, std::vector<uint8_t>& confirm) {
    if (reply.size() != kPakeReplySize) {
        return false;
    }
    std::memcpy(state.hostShare.data(), reply.data(), kPakePointSize);
    uint8_t hostTag[kPakeTagSize];
    if (!DeriveKeys(state, state.hostShare.data(), hostTag) ||
        sodium_memcmp(hostTag, reply.data() + kPakePointSize, kPakeTagSize) != 0) {
        return false;
    }
    confirm.assign(state.joinerTag.begin(), state.joinerTag.end());
    return true;
}

bool PakeConfirmed(const PakeState& state, const std::vector<uint8_t>& confirm) {
    return confirm.size() == kPakeConfirmSize &&
           sodium_memcmp(confirm.data(), state.joinerTag.data(), kPakeTagSize) == 0;
}

FrameSeal::~FrameSeal() {
    sodium_memzero(key_.data(), key_.size());
}

namespace {

void CounterNonce(uint64_t counter, uint8_t nonce[crypto_aead_xchacha20poly1305_ietf_NPUBBYTES]) {
    std::memset(nonce, 0, crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
    for (int i = 0; i < 8; ++i) {
        nonce[i] = static_cast<uint8_t>(counter >> (8 * i));
    }
}

}  // namespace

std::vector<uint8_t> FrameSeal::Seal(const uint8_t* plain, size_t size) {
    uint8_t nonce[crypto_aead_xchacha20poly1305_ietf_NPUBBYTES];
    CounterNonce(counter_++, nonce);
    std::vector<uint8_t> sealed(size + kSealOverhead);
    unsigned long long length = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(sealed.data(), &length, plain, size, nullptr, 0, nullptr,
                                               nonce, key_.data());
    sealed.resize(static_cast<size_t>(length));
    return sealed;
}

bool FrameSeal::Open(const uint8_t* sealed, size_t size, std::vector<uint8_t>& plain) {
    if (size < kSealOverhead) {
        return false;
    }
    uint8_t nonce[crypto_aead_xchacha20poly1305_ietf_NPUBBYTES];
    CounterNonce(counter_, nonce);
    plain.resize(size - kSealOverhead);
    unsigned long long length = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(plain.data(), &length, nullptr, sealed, size, nullptr, 0,
                                                   nonce, key_.data()) != 0) {
        return false;
    }
    ++counter_;
    plain.resize(static_cast<size_t>(length));
    return true;
}

}  // namespace lobby
