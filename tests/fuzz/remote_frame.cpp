// Feeds arbitrary bytes to what a hosting or joining Ravelin reads from the network before it
// trusts anything: a frame header, a hello and the match settings.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/ravelin/remote_frame.h"
#include "tools/ravelin/remote_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= tools::kFrameHeaderSize) {
        tools::FrameHeader header;
        tools::ReadFrameHeader(data, header);
    }
    tools::Hello hello;
    tools::DecodeHello(std::vector<uint8_t>(data, data + size), hello);
    tools::RemoteMatch match;
    std::string error;
    tools::DecodeRemoteMatch(std::string(reinterpret_cast<const char*>(data), size), match, error);
    return 0;
}
