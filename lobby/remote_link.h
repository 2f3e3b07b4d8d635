#pragma once
// One TCP connection between two Ravelins, carrying frames (remote_frame.h), and the bridge that
// joins it to a local lobby socket. Everything here runs on one Asio thread.
//
// A FrameLink reads one frame at a time and hands it over; it sends a keep-alive when it has sent
// nothing for a while and ends the connection when the peer has said nothing for longer (only
// while the link is reading: a link paused by its receiver does not count the wait against the
// peer). A frame of an unknown type or over its type's size limit ends the connection before its
// payload is read. On a host, a joiner's frames are limited in rate like a local client's packets
// (LimitRate); a peer that stays over the limit is cut. Frames waiting to be sent are limited too: a peer
// that stops reading is cut.

#include <asio.hpp>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lobby/flow_control.h"
#include "lobby/link_crypto.h"
#include "lobby/remote_frame.h"

namespace lobby {

inline constexpr uint64_t kKeepAliveMs = 2000;
inline constexpr uint64_t kSilenceMs = 10000;
inline constexpr size_t kLinkQueueLimit = 4u << 20;
// Above this much waiting to be sent a bridge stops taking packets from its local side.
inline constexpr size_t kLinkHighWater = 256u * 1024;

// Marks a descriptor close-on-exec, so that the clients Ravelin starts do not hold its
// connections and listeners open after it has ended.
void KeepFromChildren(int fd);

class FrameLink : public std::enable_shared_from_this<FrameLink> {
  public:
    using FrameHandler = std::function<void(FrameType, std::vector<uint8_t>&)>;
    using CloseHandler = std::function<void(const std::string& reason)>;

    explicit FrameLink(asio::ip::tcp::socket socket);

    // Starts reading; frames go to onFrame (never keep-alives), the end of the link to onClosed,
    // once. A bye from the peer ends the link with "the peer: TEXT".
    void Start(FrameHandler onFrame, CloseHandler onClosed);
    // Frames from now on go to other handlers.
    void SetHandlers(FrameHandler onFrame, CloseHandler onClosed);
    // Limits the peer's frames to a local client's packet rate (flow_control.h); a peer that stays
    // over it is cut for flooding. Hosts limit their joiners; a joiner takes what its host relays.
    void LimitRate() { limitRate_ = true; }
    // The link ends unless SetDeadline(0) is called within this many milliseconds; 0: no limit.
    void SetDeadline(uint64_t ms);
    // From now on every frame sent is sealed with the key (link_crypto.h).
    void SealSending(const LinkKey& key);
    // From now on every frame received must be sealed with the key and open as the next one; a
    // frame that does not (altered, replayed, reordered, dropped, or in the clear) ends the link.
    void SealReceiving(const LinkKey& key);
    void Send(FrameType type, const uint8_t* payload, size_t size);
    void Send(FrameType type, const std::string& text = std::string());
    // Stops handing frames over until Resume.
    void Pause();
    void Resume();
    // Sends a bye with the reason and closes once it is written (or after a short while).
    void Close(const std::string& reason);
    bool IsOpen() const { return !closing_ && !closed_; }
    // The socket is closed: a bye, if any, has been written or given up.
    bool IsFinished() const { return closed_; }
    size_t QueuedBytes() const { return queuedBytes_; }
    // The link was ended for something the peer did (flooding, a bad frame, silence, not reading).
    bool EndedByPeerFault() const { return peerFault_; }
    // Called once the send queue has fallen below half of kLinkHighWater.
    void OnDrained(std::function<void()> onDrained) { onDrained_ = std::move(onDrained); }
    const std::string& PeerAddress() const { return peer_; }
    asio::any_io_executor Executor() { return socket_.get_executor(); }

  private:
    uint64_t NowMs() const;
    void ReadHeader();
    void ReadPayload();
    void Deliver();
    bool Unseal();  // a sealed frame's inner type and payload become current_ and payload_
    std::vector<uint8_t> Encode(FrameType type, const uint8_t* payload, size_t size);
    void ContinueReading();
    void WriteNext();
    void Tick();
    void Cut(const std::string& reason);  // Close for the peer's fault
    void End(const std::string& reason);
    void NotifyClosed(const std::string& reason);

    asio::ip::tcp::socket socket_;
    asio::steady_timer tick_;
    asio::steady_timer retry_;  // reading again after the peer's rate limit held it back
    std::string peer_;
    FrameHandler onFrame_;
    CloseHandler onClosed_;
    std::function<void()> onDrained_;
    uint8_t header_[kFrameHeaderSize] = {};
    FrameHeader current_;
    std::vector<uint8_t> payload_;
    std::deque<std::vector<uint8_t>> queue_;
    size_t queuedBytes_ = 0;
    bool writing_ = false;
    bool reading_ = false;  // a read, or a wait before the next one, is outstanding
    bool paused_ = false;
    bool closing_ = false;  // a bye is queued: nothing more is read or sent
    bool closed_ = false;   // the socket is closed
    bool notified_ = false;
    uint64_t closingSinceMs_ = 0;
    uint64_t deadlineMs_ = 0;
    uint64_t lastHeardMs_ = 0;
    uint64_t lastSentMs_ = 0;
    uint64_t lastWriteProgressMs_ = 0;
    std::unique_ptr<FrameSeal> sendSeal_;
    std::unique_ptr<FrameSeal> receiveSeal_;
    SendAllowance allowance_;
    bool limitRate_ = false;
    bool peerFault_ = false;
    uint64_t lastTickMs_ = 0;
};

// Joins a link to a local lobby socket (a SOCK_SEQPACKET descriptor): packet frames are written to
// the local socket one message each, and every message read from the local socket is sent as a
// packet frame. When either side ends, the other is ended too and onEnded is told why.
class PacketBridge : public std::enable_shared_from_this<PacketBridge> {
  public:
    using LocalSocket = asio::generic::seq_packet_protocol::socket;
    // Takes the descriptor of a connected SOCK_SEQPACKET socket.
    PacketBridge(std::shared_ptr<FrameLink> link, int localFd);
    // held: a packet that came before the bridge existed, written first (may be empty).
    void Start(std::function<void(const std::string&)> onEnded, std::vector<uint8_t> held = {});
    // Ends the bridge: the local socket is closed and the link says bye with the reason.
    void Stop(const std::string& reason);
    // When the link (not the local side) ends, these packets for the reason are written to the
    // local side before it is closed.
    void SetFarewell(std::function<std::vector<std::vector<uint8_t>>(const std::string&)> farewell) {
        farewell_ = std::move(farewell);
    }
    // The bridge ended because its local side did (the client closed its connection).
    bool LocalEnded() const { return localEnded_; }

  private:
    void ToLocal(std::vector<uint8_t>& packet);
    void ReadLocal();
    void End(const std::string& reason);

    std::shared_ptr<FrameLink> link_;
    LocalSocket local_;
    std::function<void(const std::string&)> onEnded_;
    std::function<std::vector<std::vector<uint8_t>>(const std::string&)> farewell_;
    std::vector<uint8_t> toLocal_;
    std::vector<uint8_t> fromLocal_;
    asio::socket_base::message_flags receivedFlags_ = 0;
    bool waitingForDrain_ = false;
    bool ended_ = false;
    bool localEnded_ = false;
};

}  // namespace lobby
