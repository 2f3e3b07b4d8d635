#pragma once
// Fetching one file over HTTP or HTTPS, with progress reports. The body goes to a file as it
// arrives (memory stays at a small buffer whatever its size) or, for small answers, into memory.
// A transfer that makes no progress for a while is given up, and so is one that has not finished
// by its deadline (a server that sends a byte now and then never stalls). HTTPS checks the
// server's certificate and name against the system's certificate authorities.

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
    // A body larger than this fails the transfer.
    int64_t maxBodyBytes = int64_t{1} << 30;
    // Certificate authorities to trust instead of the system's (a file of PEM certificates); empty:
    // the system's.
    std::string certificateAuthorities;
    // Called while the transfer runs, also when nothing arrives (about once a second); total is 0
    // while the size is unknown. Returning false abandons the transfer.
    std::function<bool(int64_t received, int64_t total)> progress;
};

// Why a transfer failed, in the terms a player is told.
enum class HttpFailure {
    None,
    NotFound,     // the server answered 404 (or 410): there is no such file
    Unreachable,  // no address for the name, no route, or the connection failed otherwise
    Refused,      // nothing listens at the server's port
    TimedOut,     // stalled, past the deadline, or the connection attempt took too long
    HttpError,    // another error status, or an answer cut short or too large
    Untrusted,    // the server's certificate did not verify
    Abandoned,    // the progress callback asked to stop
    Local,        // the body could not be written, or the address is not http(s)
};

struct HttpGetResult {
    bool ok = false;  // a complete body with a success status (2xx)
    long status = 0;  // the server's final status, 0 when none arrived
    HttpFailure kind = HttpFailure::None;
    std::string body;     // HttpGet only, and only when ok
    std::string failure;  // what went wrong, for messages
};

// GET of an http:// or https:// address into memory, following redirects.
HttpGetResult HttpGet(const std::string& url, const HttpGetOptions& options);

// The same, with the body written to the file at path (created anew, emptied when the answer is
// not a success; flushed to the disk when it is).
HttpGetResult HttpGetToFile(const std::string& url, const std::string& path, const HttpGetOptions& options);

}  // namespace platform
