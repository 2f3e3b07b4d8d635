#include "platform/lobby_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

void SetNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL, 0);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    fcntl(fd, F_SETFD, FD_CLOEXEC);
}

bool FillAddress(const std::string& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path) {
        return false;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool IsUnixSocket(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

}  // namespace

LobbySocket::~LobbySocket() {
    Close();
}

LobbySocket& LobbySocket::operator=(LobbySocket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        peerGone_ = std::exchange(other.peerGone_, false);
        drops_ = other.drops_;
        buffer_ = std::move(other.buffer_);
    }
    return *this;
}

void LobbySocket::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

LobbySocket LobbySocket::Connect(const std::string& path) {
    sockaddr_un addr;
    if (!FillAddress(path, addr)) {
        return LobbySocket();
    }
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return LobbySocket();
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return LobbySocket();
    }
    SetNonBlocking(fd);
    return LobbySocket(fd);
}

std::pair<LobbySocket, LobbySocket> LobbySocket::Pair() {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0) {
        return {};
    }
    SetNonBlocking(fds[0]);
    SetNonBlocking(fds[1]);
    return {LobbySocket(fds[0]), LobbySocket(fds[1])};
}

SendResult LobbySocket::TrySend(const uint8_t* data, size_t size) {
    if (fd_ < 0 || peerGone_) {
        return SendResult::kClosed;
    }
    for (;;) {
        const ssize_t sent = ::send(fd_, data, size, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent >= 0) {
            return SendResult::kSent;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOBUFS) {
            return SendResult::kWouldBlock;
        }
        if (errno == EMSGSIZE) {
            ++drops_.oversize;  // can never go through: dropped, the link stays up
            return SendResult::kSent;
        }
        // The peer has gone. Its last packets may still wait to be read, so the socket stays open.
        peerGone_ = true;
        return SendResult::kClosed;
    }
}

bool LobbySocket::Send(const uint8_t* data, size_t size, int stallMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(stallMs);
    for (;;) {
        const SendResult result = TrySend(data, size);
        if (result != SendResult::kWouldBlock) {
            return result == SendResult::kSent;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, static_cast<int>(left.count()));
    }
}

bool LobbySocket::HasPending() const {
    pollfd p{fd_, POLLIN, 0};
    return fd_ >= 0 && ::poll(&p, 1, 0) > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

bool LobbySocket::PeerShutDown() const {
    pollfd p{fd_, POLLRDHUP, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP)) != 0;
}

int LobbySocket::ReceivePending(const std::function<void(const uint8_t*, size_t)>& onPacket, int maxPackets) {
    buffer_.resize(kLobbyMaxPacket);
    std::vector<uint8_t>& buffer = buffer_;
    int taken = 0;
    while (fd_ >= 0 && taken < maxPackets) {
        iovec iov{buffer.data(), buffer.size()};
        msghdr msg{};
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        const ssize_t got = ::recvmsg(fd_, &msg, MSG_DONTWAIT);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == ECONNRESET || errno == EPIPE) {
                // A peer that closed with our packets unread is reported before the packets it
                // sent; those are still queued and are read next.
                peerGone_ = true;
                continue;
            }
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                Close();
            }
            break;
        }
        if (got == 0) {
            if (peerGone_ || PeerShutDown()) {  // the end of the stream: everything was read
                Close();
                break;
            }
            ++drops_.empty;
            ++taken;
            continue;
        }
        ++taken;
        if ((msg.msg_flags & MSG_TRUNC) != 0) {
            ++drops_.oversize;
        } else {
            onPacket(buffer.data(), static_cast<size_t>(got));
        }
    }
    return taken;
}

void LobbySocket::Finish(const std::function<void(const uint8_t*, size_t)>& onPacket, int waitMs) {
    if (fd_ < 0) {
        return;
    }
    ::shutdown(fd_, SHUT_WR);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (fd_ >= 0) {
        ReceivePending(onPacket);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (fd_ < 0 || left.count() <= 0) {
            break;
        }
        pollfd p{fd_, POLLIN | POLLRDHUP, 0};
        ::poll(&p, 1, static_cast<int>(left.count()));
    }
    Close();
}

LobbyListener::~LobbyListener() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(path_.c_str());
    }
}

LobbyListener::LobbyListener(LobbyListener&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

LobbyListener& LobbyListener::operator=(LobbyListener&& other) noexcept {
    if (this != &other) {
        LobbyListener gone(std::move(*this));
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

LobbyListener LobbyListener::Listen(const std::string& path, std::string* error) {
    LobbyListener listener;
    sockaddr_un addr;
    if (!FillAddress(path, addr)) {
        if (error != nullptr) {
            *error = "socket path is empty or too long: " + path;
        }
        return listener;
    }
    if (IsUnixSocket(path)) {
        ::unlink(path.c_str());
    }
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(fd, 16) != 0) {
        if (error != nullptr) {
            *error = "cannot listen at " + path + ": " + std::strerror(errno);
        }
        if (fd >= 0) {
            ::close(fd);
        }
        return listener;
    }
    SetNonBlocking(fd);
    listener.fd_ = fd;
    listener.path_ = path;
    return listener;
}

LobbySocket LobbyListener::Accept() {
    if (fd_ < 0) {
        return LobbySocket();
    }
    const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    return fd < 0 ? LobbySocket() : LobbySocket(fd);
}

std::string LobbySocketPath() {
    const char* env = std::getenv("BRIGHTLEA_LOBBY");
    if (env != nullptr && *env != '\0') {
        return env;
    }
    return DefaultLobbySocketPath();
}

std::string DefaultLobbySocketPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/brightlea-lobby.sock";
    }
    return "/tmp/brightlea-lobby-" + std::to_string(::getuid()) + ".sock";
}

int PollFds(std::vector<PollEntry>& entries, int timeoutMs) {
    std::vector<pollfd> fds(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const int events = (entries[i].wantRead ? POLLIN : 0) | (entries[i].wantWrite ? POLLOUT : 0);
        fds[i] = pollfd{entries[i].fd, static_cast<short>(events), 0};
    }
    const int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    for (size_t i = 0; i < entries.size(); ++i) {
        const short got = ready > 0 ? fds[i].revents : 0;
        entries[i].readable = (got & (POLLIN | POLLHUP | POLLERR)) != 0;
        entries[i].writable = (got & POLLOUT) != 0;
    }
    return ready < 0 ? 0 : ready;
}

}  // namespace platform
