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

// Largest packet either side accepts; longer ones are dropped on arrival (and counted).
inline constexpr size_t kLobbyMaxPacket = 65536;

enum class SendResult { kSent, kWouldBlock, kClosed };

// What a socket dropped on arrival instead of handing it over.
struct LobbySocketDrops {
    uint64_t empty = 0;     // zero-length packets (the peer is still there)
    uint64_t oversize = 0;  // packets longer than kLobbyMaxPacket, received or refused for sending
};

// One end of a lobby connection. Not copyable; closing happens when it is destroyed.
//
// Ending a connection never loses what the other side already sent: when the peer has gone (a
// reset, a failed send), the socket stays open for reading and is closed only once the end of
// the stream has been read, so every packet the peer sent before it went is still handed over.
class LobbySocket {
  public:
    LobbySocket() = default;
    explicit LobbySocket(int fd) : fd_(fd) {}
    ~LobbySocket();
    LobbySocket(LobbySocket&& other) noexcept
        : fd_(std::exchange(other.fd_, -1)),
          peerGone_(std::exchange(other.peerGone_, false)),
          drops_(other.drops_),
          buffer_(std::move(other.buffer_)) {}
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
    // True once the peer is known to have gone (a reset or a failed send); what it sent before
    // can still be read.
    bool PeerGone() const { return peerGone_; }
    const LobbySocketDrops& Drops() const { return drops_; }
    // Something waits to be read (a packet, or the end of the stream).
    bool HasPending() const;

    // Sends one packet without waiting. kClosed when the peer has gone: nothing more can be sent,
    // but the socket stays open so that what the peer sent before can still be received.
    SendResult TrySend(const uint8_t* data, size_t size);
    // Sends one packet, waiting at most stallMs for room while the peer is slow to read. False
    // when the peer has gone or stayed stalled; the connection itself is left as it is.
    bool Send(const uint8_t* data, size_t size, int stallMs = 5000);
    // Hands every packet waiting now (at most maxPackets) to onPacket, without blocking. Once the
    // end of the stream is read (the peer has gone and everything it sent was handed over) the
    // socket is closed. Returns the number of packets taken, dropped ones included.
    int ReceivePending(const std::function<void(const uint8_t*, size_t)>& onPacket, int maxPackets = 1 << 30);
    // Ends the connection without losing anything: tells the peer nothing more will come, then
    // hands over what arrives until the peer closes too or waitMs have passed, and closes.
    void Finish(const std::function<void(const uint8_t*, size_t)>& onPacket, int waitMs);

  private:
    // The peer has shut its side down: a zero-length read is the end of the stream, not a packet.
    bool PeerShutDown() const;

    int fd_ = -1;
    bool peerGone_ = false;
    LobbySocketDrops drops_;
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
    bool wantRead = true;
    bool readable = false;  // data waiting, or the peer hung up (a read then tells which)
    bool writable = false;
};
// Waits at most timeoutMs (-1: no limit) until one of the entries is ready. Returns the number of
// ready entries (0 on time-out or interruption).
int PollFds(std::vector<PollEntry>& entries, int timeoutMs);

}  // namespace platform
