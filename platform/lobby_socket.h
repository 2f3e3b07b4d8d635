#pragma once
// The connection between a game client and its lobby: a Unix-domain SOCK_SEQPACKET socket that
// carries one lobby packet per message, in both directions. The lobby listens on a socket path;
// each client connects to the path named by BRIGHTLEA_LOBBY, or to the per-user default path.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Largest packet either side accepts; longer ones are dropped on arrival.
inline constexpr size_t kLobbyMaxPacket = 65536;

enum class SendResult { kSent, kWouldBlock, kClosed };

// One end of a lobby connection. Not copyable; closing happens when it is destroyed.
class LobbySocket {
  public:
    LobbySocket() = default;
    explicit LobbySocket(int fd) : fd_(fd) {}
    ~LobbySocket();
    LobbySocket(LobbySocket&& other) noexcept
        : fd_(std::exchange(other.fd_, -1)), buffer_(std::move(other.buffer_)) {}
    LobbySocket& operator=(LobbySocket&& other) noexcept;
    LobbySocket(const LobbySocket&) = delete;
    LobbySocket& operator=(const LobbySocket&) = delete;

    // Connects to the lobby listening at path; the result is not open when nobody listens there.
    static LobbySocket Connect(const std::string& path);
    // Two connected ends in this process.
    static std::pair<LobbySocket, LobbySocket> Pair();

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Close();

    // Sends one packet without waiting. kClosed (and the socket closed) when the peer has gone.
    SendResult TrySend(const uint8_t* data, size_t size);
    // Sends one packet, waiting at most stallMs for room while the peer is slow to read. A peer
    // that has gone, or that stays stalled, closes the socket and the packet is dropped: the
    // sender goes on without it and never blocks for long.
    bool Send(const uint8_t* data, size_t size, int stallMs = 5000);
    // Hands every packet waiting now (at most maxPackets) to onPacket, without blocking. When the
    // peer has gone the socket is closed. Returns the number of packets handed over.
    int ReceivePending(const std::function<void(const uint8_t*, size_t)>& onPacket, int maxPackets = 1 << 30);

  private:
    int fd_ = -1;
    std::vector<uint8_t> buffer_;  // one received packet at a time
};

// The lobby's listening socket. The socket file is removed again when this is destroyed.
class LobbyListener {
  public:
    LobbyListener() = default;
    ~LobbyListener();
    LobbyListener(LobbyListener&& other) noexcept;
    LobbyListener& operator=(LobbyListener&& other) noexcept;
    LobbyListener(const LobbyListener&) = delete;
    LobbyListener& operator=(const LobbyListener&) = delete;

    // Listens at path (a stale socket file there is replaced). Not open on failure; error tells why.
    static LobbyListener Listen(const std::string& path, std::string* error = nullptr);
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    const std::string& Path() const { return path_; }
    // Takes one waiting connection, without blocking; not open when none is waiting.
    LobbySocket Accept();

  private:
    int fd_ = -1;
    std::string path_;
};

// The socket path a client uses: BRIGHTLEA_LOBBY when set and not empty, else the per-user default.
std::string LobbySocketPath();
// The per-user default: "brightlea-lobby.sock" in XDG_RUNTIME_DIR, or in /tmp with the user id.
std::string DefaultLobbySocketPath();

// One file descriptor to wait for, and what was found.
struct PollEntry {
    int fd = -1;
    bool wantWrite = false;
    bool readable = false;  // data waiting, or the peer hung up (a read then tells which)
    bool writable = false;
};
// Waits at most timeoutMs (-1: no limit) until one of the entries is ready. Returns the number of
// ready entries (0 on time-out or interruption).
int PollFds(std::vector<PollEntry>& entries, int timeoutMs);

}  // namespace platform
