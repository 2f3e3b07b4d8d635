#include "tests/lobby/net_helpers.h"

#include "tests/lobby/report_lines.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <deque>

namespace nettest {

Background::Background(const std::string& command) {
    pid_ = ::fork();
    if (pid_ == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
}

Background::~Background() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

int Background::Wait(int timeoutSeconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (pid_ > 0) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
        if (std::chrono::steady_clock::now() > until) {
            return -1;  // the destructor kills it
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

bool WaitForLine(const std::filesystem::path& path, const std::string& part, int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < until) {
        if (fixtures::Count(fixtures::Lines(path), part) > 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

uint16_t WaitForHostPort(const std::filesystem::path& output) {
    if (!WaitForLine(output, R"("event":"hosting")")) {
        return 0;
    }
    for (const std::string& line : fixtures::Lines(output)) {
        const size_t at = line.find(R"("port":)");
        if (at != std::string::npos) {
            return static_cast<uint16_t>(std::stoi(line.substr(at + 7)));
        }
    }
    return 0;
}

namespace {

using Tcp = asio::ip::tcp;

// One direction of a proxied connection: reads chunks and writes each after the delay.
struct Pipe : std::enable_shared_from_this<Pipe> {
    Pipe(Tcp::socket& from, Tcp::socket& to, int delayMs, size_t cutAfter, std::atomic<bool>* cut,
         std::function<void()> closeBoth)
        : from(from),
          to(to),
          timer(from.get_executor()),
          delayMs(delayMs),
          cutAfter(cutAfter),
          cut(cut),
          closeBoth(std::move(closeBoth)) {}

    void Read() {
        auto self = shared_from_this();
        from.async_read_some(asio::buffer(buffer), [self](const asio::error_code& ec, size_t n) {
            if (ec) {
                self->closeBoth();
                return;
            }
            self->carried += n;
            if (self->cutAfter != 0 && self->carried >= self->cutAfter) {
                *self->cut = true;
                self->closeBoth();
                return;
            }
            self->queue.push_back(
                {std::chrono::steady_clock::now() + std::chrono::milliseconds(self->delayMs),
                 std::vector<uint8_t>(self->buffer, self->buffer + n)});
            self->WriteNext();
            self->Read();
        });
    }
    void WriteNext() {
        if (writing || queue.empty()) {
            return;
        }
        writing = true;
        auto self = shared_from_this();
        timer.expires_at(queue.front().due);
        timer.async_wait([self](const asio::error_code& waited) {
            if (waited) {
                return;
            }
            asio::async_write(self->to, asio::buffer(self->queue.front().bytes),
                              [self](const asio::error_code& ec, size_t) {
                                  self->writing = false;
                                  if (ec) {
                                      self->closeBoth();
                                      return;
                                  }
                                  self->queue.pop_front();
                                  self->WriteNext();
                              });
        });
    }

    struct Chunk {
        std::chrono::steady_clock::time_point due;
        std::vector<uint8_t> bytes;
    };
    Tcp::socket& from;
    Tcp::socket& to;
    asio::steady_timer timer;
    int delayMs;
    size_t cutAfter;
    std::atomic<bool>* cut;
    std::function<void()> closeBoth;
    uint8_t buffer[4096];
    std::deque<Chunk> queue;
    bool writing = false;
    size_t carried = 0;
};

struct Connection {
    explicit Connection(asio::io_context& io) : client(io), server(io) {}
    Tcp::socket client;
    Tcp::socket server;
};

}  // namespace

TcpProxy::TcpProxy(uint16_t target, int delayMs, size_t cutAfterBytes)
    : acceptor_(io_, Tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0)),
      target_(target),
      delayMs_(delayMs),
      cutAfter_(cutAfterBytes) {
    port_ = acceptor_.local_endpoint().port();
    Accept();
    thread_ = std::thread([this] { io_.run(); });
}

TcpProxy::~TcpProxy() {
    io_.stop();
    thread_.join();
}

void TcpProxy::Accept() {
    auto connection = std::make_shared<Connection>(io_);
    acceptor_.async_accept(connection->client, [this, connection](const asio::error_code& ec) {
        if (ec) {
            return;
        }
        asio::error_code failed;
        connection->server.connect(Tcp::endpoint(asio::ip::make_address("127.0.0.1"), target_), failed);
        if (!failed) {
            auto closeBoth = [connection] {
                asio::error_code ignored;
                connection->client.close(ignored);
                connection->server.close(ignored);
            };
            std::make_shared<Pipe>(connection->client, connection->server, delayMs_, cutAfter_, &cut_,
                                   closeBoth)
                ->Read();
            std::make_shared<Pipe>(connection->server, connection->client, delayMs_, 0, &cut_, closeBoth)
                ->Read();
        }
        Accept();
    });
}

RawPeer::RawPeer(const std::string& address, uint16_t port, const std::string& from) {
    const bool v6 = address.find(':') != std::string::npos;
    fd_ = ::socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_storage storage{};
    socklen_t size = 0;
    if (v6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&storage);
        a->sin6_family = AF_INET6;
        a->sin6_port = htons(port);
        ::inet_pton(AF_INET6, address.c_str(), &a->sin6_addr);
        size = sizeof *a;
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&storage);
        a->sin_family = AF_INET;
        a->sin_port = htons(port);
        ::inet_pton(AF_INET, address.c_str(), &a->sin_addr);
        size = sizeof *a;
    }
    if (fd_ >= 0 && !from.empty()) {
        sockaddr_in source{};
        source.sin_family = AF_INET;
        ::inet_pton(AF_INET, from.c_str(), &source.sin_addr);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&source), sizeof source);
    }
    if (fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&storage), size) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

RawPeer::~RawPeer() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool RawPeer::Send(const std::vector<uint8_t>& bytes) {
    return fd_ >= 0 && ::send(fd_, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL) ==
                           static_cast<ssize_t>(bytes.size());
}

bool RawPeer::SendAll(const std::vector<uint8_t>& bytes, int timeoutMs) {
    size_t sent = 0;
    while (fd_ >= 0 && sent < bytes.size()) {
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, timeoutMs) <= 0 || (p.revents & (POLLERR | POLLHUP)) != 0) {
            return false;
        }
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return sent == bytes.size();
}

std::vector<uint8_t> RawPeer::Frame(lobby::FrameType type, const std::vector<uint8_t>& payload) {
    if (sendSeal_ == nullptr) {
        return lobby::EncodeFrame(type, payload.data(), payload.size());
    }
    std::vector<uint8_t> inner = {static_cast<uint8_t>(type)};
    inner.insert(inner.end(), payload.begin(), payload.end());
    const std::vector<uint8_t> sealed = sendSeal_->Seal(inner.data(), inner.size());
    return lobby::EncodeFrame(lobby::FrameType::kSealed, sealed.data(), sealed.size());
}

void RawPeer::SendFrame(lobby::FrameType type, const std::vector<uint8_t>& payload) {
    SendAll(Frame(type, payload), 5000);
}

bool RawPeer::Join(bool observer, const std::string& name, const std::string& code, std::string* failure) {
    lobby::PakeState pake;
    SendFrame(lobby::FrameType::kPakeStart, lobby::PakeStart(code, pake));
    lobby::FrameType type;
    std::vector<uint8_t> payload;
    std::vector<uint8_t> confirm;
    while (ReadFrame(type, payload, 5000) && type == lobby::FrameType::kKeepAlive) {
    }
    if (type != lobby::FrameType::kPakeReply || !lobby::PakeFinish(pake, payload, confirm)) {
        if (failure != nullptr) {
            *failure = type == lobby::FrameType::kBye ? lobby::FrameText(payload) : "another code";
        }
        return false;
    }
    SendFrame(lobby::FrameType::kPakeConfirm, confirm);
    sendSeal_ = std::make_unique<lobby::FrameSeal>(pake.keys.joinerToHost);
    receiveSeal_ = std::make_unique<lobby::FrameSeal>(pake.keys.hostToJoiner);
    SendFrame(lobby::FrameType::kHello, lobby::HelloPayload({observer, name}));
    return true;
}

bool RawPeer::ReadExactly(uint8_t* out, size_t size, int timeoutMs) {
    size_t got = 0;
    while (got < size) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) {
            return false;
        }
        const ssize_t n = ::recv(fd_, out + got, size - got, 0);
        if (n <= 0) {
            return false;
        }
        got += static_cast<size_t>(n);
    }
    return true;
}

bool RawPeer::ReadFrame(lobby::FrameType& type, std::vector<uint8_t>& payload, int timeoutMs) {
    uint8_t header[lobby::kFrameHeaderSize];
    lobby::FrameHeader h;
    if (fd_ < 0 || !ReadExactly(header, sizeof header, timeoutMs) ||
        lobby::ReadFrameHeader(header, h) != lobby::FrameFault::kNone) {
        return false;
    }
    payload.resize(h.length);
    type = h.type;
    if (h.length != 0 && !ReadExactly(payload.data(), h.length, timeoutMs)) {
        return false;
    }
    if (type == lobby::FrameType::kSealed && receiveSeal_ != nullptr) {
        std::vector<uint8_t> inner;
        if (!receiveSeal_->Open(payload.data(), payload.size(), inner) || inner.empty()) {
            return false;
        }
        type = static_cast<lobby::FrameType>(inner[0]);
        payload.assign(inner.begin() + 1, inner.end());
    }
    return true;
}

std::string RawPeer::ReadUntilBye(int timeoutMs) {
    lobby::FrameType type;
    std::vector<uint8_t> payload;
    while (ReadFrame(type, payload, timeoutMs)) {
        if (type == lobby::FrameType::kBye) {
            return lobby::FrameText(payload);
        }
    }
    return "";
}

}  // namespace nettest
