#include "platform/http_download.h"

#include <curl/curl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <mutex>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// Takes the body's bytes as they arrive; false when they cannot be kept.
using BodySink = std::function<bool(const char* data, size_t size)>;

struct Transfer {
    const HttpGetOptions* options = nullptr;
    const BodySink* sink = nullptr;
    int64_t bodyBytes = 0;
    int64_t lastReceived = -1;
    Clock::time_point started = Clock::now();
    Clock::time_point lastProgress = started;
    bool stalled = false;
    bool late = false;
    bool tooLarge = false;
    bool abandoned = false;
    bool writeFailed = false;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    size_t bytes = size * count;
    if (transfer->bodyBytes + static_cast<int64_t>(bytes) > transfer->options->maxBodyBytes) {
        transfer->tooLarge = true;
        return 0;  // makes curl fail the transfer
    }
    if (!(*transfer->sink)(data, bytes)) {
        transfer->writeFailed = true;
        return 0;
    }
    transfer->bodyBytes += static_cast<int64_t>(bytes);
    return bytes;
}

// Called by curl about once a second even while nothing arrives, so the stall limit and the
// deadline are kept to within a second.
int OnProgress(void* user, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) {
    auto* transfer = static_cast<Transfer*>(user);
    Clock::time_point now = Clock::now();
    const std::chrono::milliseconds deadline = transfer->options->deadline;
    if (deadline.count() > 0 && now - transfer->started >= deadline) {
        transfer->late = true;
        return 1;
    }
    if (received != transfer->lastReceived) {
        transfer->lastReceived = received;
        transfer->lastProgress = now;
    } else if (now - transfer->lastProgress >= transfer->options->stallLimit) {
        transfer->stalled = true;
        return 1;
    }
    if (transfer->options->progress && !transfer->options->progress(received, total)) {
        transfer->abandoned = true;
        return 1;
    }
    return 0;
}

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpFailure KindOf(const Transfer& transfer, CURLcode code, long status, long osError) {
    if (transfer.stalled || transfer.late) {
        return HttpFailure::TimedOut;
    }
    if (transfer.tooLarge) {
        return HttpFailure::HttpError;
    }
    if (transfer.abandoned) {
        return HttpFailure::Abandoned;
    }
    if (transfer.writeFailed) {
        return HttpFailure::Local;
    }
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return HttpFailure::Unreachable;
        case CURLE_COULDNT_CONNECT:
            return osError == ECONNREFUSED ? HttpFailure::Refused : HttpFailure::Unreachable;
        case CURLE_OPERATION_TIMEDOUT:
            return HttpFailure::TimedOut;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CACERT_BADFILE:
            return HttpFailure::Untrusted;
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT:
            return HttpFailure::Local;
        default:
            break;
    }
    return status == 404 || status == 410 ? HttpFailure::NotFound : HttpFailure::HttpError;
}

std::string DescribeFailure(const Transfer& transfer, CURLcode code, long status) {
    if (transfer.stalled) {
        return "no data arrived for " + std::to_string(transfer.options->stallLimit.count()) + " ms";
    }
    if (transfer.late) {
        return "not finished within " + std::to_string(transfer.options->deadline.count()) + " ms";
    }
    if (transfer.tooLarge) {
        return "the answer is larger than " + std::to_string(transfer.options->maxBodyBytes) + " bytes";
    }
    if (transfer.abandoned) {
        return "abandoned";
    }
    if (transfer.writeFailed) {
        return "cannot store the answer";
    }
    if (code != CURLE_OK && code != CURLE_HTTP_RETURNED_ERROR) {
        return curl_easy_strerror(code);
    }
    return "HTTP status " + std::to_string(status);
}

HttpGetResult Get(const std::string& url, const HttpGetOptions& options, const BodySink& sink) {
    InitCurlOnce();
    HttpGetResult result;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) {
        result.kind = HttpFailure::Local;
        result.failure = "cannot start a transfer";
        return result;
    }
    Transfer transfer;
    transfer.options = &options;
    transfer.sink = &sink;
    long stallSeconds = static_cast<long>((options.stallLimit.count() + 999) / 1000);

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // Error pages are not bodies: an answer of 400 or more fails without being written anywhere.
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!options.certificateAuthorities.empty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, options.certificateAuthorities.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, stallSeconds > 0 ? stallSeconds : 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);

    CURLcode code = curl_easy_perform(curl);
    long osError = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osError);
    curl_easy_cleanup(curl);

    result.ok = code == CURLE_OK && result.status >= 200 && result.status < 300;
    if (!result.ok) {
        result.kind = KindOf(transfer, code, result.status, osError);
        result.failure = DescribeFailure(transfer, code, result.status);
    }
    return result;
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

}  // namespace

HttpGetResult HttpGet(const std::string& url, const HttpGetOptions& options) {
    std::string body;
    HttpGetResult result = Get(url, options, [&body](const char* data, size_t size) {
        body.append(data, size);
        return true;
    });
    if (result.ok) {
        result.body = std::move(body);
    }
    return result;
}

HttpGetResult HttpGetToFile(const std::string& url, const std::string& path, const HttpGetOptions& options) {
    std::unique_ptr<FILE, FileCloser> out(std::fopen(path.c_str(), "wb"));
    if (!out) {
        HttpGetResult result;
        result.kind = HttpFailure::Local;
        result.failure = "cannot write " + path;
        return result;
    }
    HttpGetResult result = Get(url, options, [&out](const char* data, size_t size) {
        return std::fwrite(data, 1, size, out.get()) == size;
    });
    bool stored = std::fflush(out.get()) == 0 && (!result.ok || fsync(fileno(out.get())) == 0);
    if (!result.ok) {
        stored = ftruncate(fileno(out.get()), 0) == 0 && stored;
    }
    if (std::fclose(out.release()) != 0 || !stored) {
        if (result.ok) {
            result.ok = false;
            result.kind = HttpFailure::Local;
            result.failure = "cannot write " + path;
        }
    }
    return result;
}

}  // namespace platform
