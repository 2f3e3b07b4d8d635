#pragma once
// Fetching one file over HTTP into memory, with progress reports. A transfer that makes no progress
// for a while is given up, and so is one that has not finished by its deadline (a server that
// sends a byte now and then never stalls).

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

struct HttpGetOptions {
    // A transfer (or a connection attempt) that receives nothing for this long fails.
    std::chrono::milliseconds stallLimit{30000};
    // The whole transfer, connection included, fails when it takes longer; 0: no deadline.
    std::chrono::milliseconds deadline{0};
    // A body larger than this fails the transfer instead of filling the memory.
    int64_t maxBodyBytes = int64_t{1} << 30;
    // Called while the transfer runs, also when nothing arrives (about once a second); total is 0
    // while the size is unknown. Returning false abandons the transfer.
    std::function<bool(int64_t received, int64_t total)> progress;
};

struct HttpGetResult {
    bool ok = false;      // a complete body with a success status (2xx)
    long status = 0;      // the server's final status, 0 when none arrived
    std::string body;     // kept only when ok
    std::string failure;  // what went wrong, for messages
};

// GET of an http:// or https:// address, following redirects. Error statuses (404, 500, ...)
// fail; so does an address of any other scheme.
HttpGetResult HttpGet(const std::string& url, const HttpGetOptions& options);

}  // namespace platform
