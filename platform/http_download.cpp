#include "platform/http_download.h"

#include <curl/curl.h>

#include <mutex>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

struct Transfer {
    const HttpGetOptions* options = nullptr;
    std::string body;
    int64_t lastReceived = -1;
    Clock::time_point started = Clock::now();
    Clock::time_point lastProgress = started;
    bool stalled = false;
    bool late = false;
    bool tooLarge = false;
    bool abandoned = false;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    size_t bytes = size * count;
    if (static_cast<int64_t>(transfer->body.size() + bytes) > transfer->options->maxBodyBytes) {
        transfer->tooLarge = true;
        return 0;  // makes curl fail the transfer
    }
    transfer->body.append(data, bytes);
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
    if (code != CURLE_OK) {
        return curl_easy_strerror(code);
    }
    return "HTTP status " + std::to_string(status);
}

}  // namespace

HttpGetResult HttpGet(const std::string& url, const HttpGetOptions& options) {
    InitCurlOnce();
    HttpGetResult result;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) {
        result.failure = "cannot start a transfer";
        return result;
    }
    Transfer transfer;
    transfer.options = &options;
    long stallSeconds = static_cast<long>((options.stallLimit.count() + 999) / 1000);

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, stallSeconds > 0 ? stallSeconds : 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);

    CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    curl_easy_cleanup(curl);

    result.ok = code == CURLE_OK && result.status >= 200 && result.status < 300;
    if (result.ok) {
        result.body = std::move(transfer.body);
    } else {
        result.failure = DescribeFailure(transfer, code, result.status);
    }
    return result;
}

}  // namespace platform
