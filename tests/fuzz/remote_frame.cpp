// Feeds arbitrary bytes to what a hosting or joining Ravelin reads from the network before it
// trusts anything: a frame header, the key exchange's frames, a sealed frame, a hello and the
// match settings.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lobby/link_crypto.h"
#include "lobby/remote_frame.h"
#include "lobby/remote_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= lobby::kFrameHeaderSize) {
        lobby::FrameHeader header;
        lobby::ReadFrameHeader(data, header);
    }
    const std::vector<uint8_t> bytes(data, data + size);
    lobby::LinkCryptoReady();
    lobby::PakeState host;
    std::vector<uint8_t> reply;
    lobby::PakeReply("FUZZCODE42", bytes, host, reply);
    lobby::PakeConfirmed(host, bytes);
    lobby::PakeState joiner;
    lobby::PakeStart("FUZZCODE42", joiner);
    std::vector<uint8_t> confirm;
    lobby::PakeFinish(joiner, bytes, confirm);
    lobby::FrameSeal seal(lobby::LinkKey{});
    std::vector<uint8_t> plain;
    seal.Open(data, size, plain);
    lobby::Hello hello;
    lobby::DecodeHello(bytes, hello);
    lobby::RemoteMatch match;
    std::string error;
    lobby::DecodeRemoteMatch(std::string(reinterpret_cast<const char*>(data), size), match, error);
    return 0;
}
