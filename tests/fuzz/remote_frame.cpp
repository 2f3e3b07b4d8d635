// Feeds arbitrary bytes to what a hosting or joining Ravelin reads from the network before it
// trusts anything: a frame header, a hello and the match settings.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lobby/remote_frame.h"
#include "lobby/remote_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= lobby::kFrameHeaderSize) {
        lobby::FrameHeader header;
        lobby::ReadFrameHeader(data, header);
    }
    lobby::Hello hello;
    lobby::DecodeHello(std::vector<uint8_t>(data, data + size), hello);
    lobby::RemoteMatch match;
    std::string error;
    lobby::DecodeRemoteMatch(std::string(reinterpret_cast<const char*>(data), size), match, error);
    return 0;
}
