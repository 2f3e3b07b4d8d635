#include "tests/lobby/tamper_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "lobby/remote_frame.h"

namespace nettest {

namespace {

// Reads exactly size bytes, waiting at most 30 s for each part; false at the end or on a stop.
bool ReadAll(int fd, uint8_t* out, size_t size, const std::atomic<bool>& stopping) {
    size_t got = 0;
    for (int waited = 0; got < size && !stopping && waited < 300;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) == 0) {
            ++waited;
            continue;
        }
        const ssize_t n = ::recv(fd, out + got, size - got, 0);
        if (n <= 0) {
            return false;
        }
        got += static_cast<size_t>(n);
    }
    return got == size;
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

}  // namespace

TamperProxy::TamperProxy(uint16_t target, Spoil spoil, int nth) : target_(target), spoil_(spoil), nth_(nth) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
    ::listen(listener_, 4);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

TamperProxy::~TamperProxy() {
    stopping_ = true;
    thread_.join();
    for (const int fd : fds_) {
        ::close(fd);
    }
    ::close(listener_);
}

std::string TamperProxy::Transcript() {
    const std::lock_guard lock(mutex_);
    return transcript_;
}

void TamperProxy::Serve() {
    pollfd p{listener_, POLLIN, 0};
    for (int waited = 0; !stopping_ && waited < 600 && ::poll(&p, 1, 100) == 0; ++waited) {
    }
    if (stopping_ || (p.revents & POLLIN) == 0) {
        return;
    }
    const int joiner = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    const int host = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(target_);
    fds_ = {joiner, host};
    if (joiner < 0 || ::connect(host, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return;
    }
    std::thread back([this, host, joiner] { Pipe(host, joiner, false); });
    Pipe(joiner, host, true);
    back.join();
}

void TamperProxy::Pipe(int from, int to, bool fromJoiner) {
    int sealed = 0;
    for (;;) {
        std::vector<uint8_t> frame(lobby::kFrameHeaderSize);
        lobby::FrameHeader header;
        if (!ReadAll(from, frame.data(), frame.size(), stopping_) ||
            lobby::ReadFrameHeader(frame.data(), header) != lobby::FrameFault::kNone) {
            break;
        }
        frame.resize(lobby::kFrameHeaderSize + header.length);
        if (!ReadAll(from, frame.data() + lobby::kFrameHeaderSize, header.length, stopping_)) {
            break;
        }
        {
            const std::lock_guard lock(mutex_);
            transcript_.append(frame.begin(), frame.end());
        }
        int copies = 1;
        if (fromJoiner && header.type == lobby::FrameType::kSealed && ++sealed == nth_) {
            spoiled_ = spoil_ != Spoil::kNothing;
            if (spoil_ == Spoil::kFlipBit) {
                frame[lobby::kFrameHeaderSize + header.length / 2] ^= 0x10;
            }
            copies = spoil_ == Spoil::kReplay ? 2 : spoil_ == Spoil::kDrop ? 0 : 1;
        }
        for (int i = 0; i < copies; ++i) {
            if (!WriteAll(to, frame)) {
                copies = -1;
            }
        }
        if (copies < 0) {
            break;
        }
    }
    ::shutdown(to, SHUT_WR);
}

}  // namespace nettest
