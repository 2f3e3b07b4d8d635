#include "lobby/remote_link.h"

#include <fcntl.h>
#include <sys/socket.h>

#include <chrono>
#include <cstring>

#include "platform/lobby_socket.h"

namespace lobby {

namespace {

constexpr uint64_t kTickPeriodMs = 100;
constexpr auto kTickPeriod = std::chrono::milliseconds(kTickPeriodMs);
constexpr auto kRateRetry = std::chrono::milliseconds(20);
// A bye not written after this long is given up.
constexpr uint64_t kByeWaitMs = 2000;

uint64_t SteadyMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

}  // namespace

void KeepFromChildren(int fd) {
    if (fd >= 0) {
        ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC);
    }
}

FrameLink::FrameLink(asio::ip::tcp::socket socket)
    : socket_(std::move(socket)), tick_(socket_.get_executor()), retry_(socket_.get_executor()) {
    KeepFromChildren(socket_.native_handle());
    asio::error_code ec;
    peer_ = socket_.remote_endpoint(ec).address().to_string();
    socket_.set_option(asio::ip::tcp::no_delay(true), ec);  // packets are small and wanted at once
}

uint64_t FrameLink::NowMs() const {
    return SteadyMs();
}

void FrameLink::Start(FrameHandler onFrame, CloseHandler onClosed) {
    SetHandlers(std::move(onFrame), std::move(onClosed));
    lastHeardMs_ = lastSentMs_ = NowMs();
    Tick();
    ContinueReading();
}

void FrameLink::SetHandlers(FrameHandler onFrame, CloseHandler onClosed) {
    onFrame_ = std::move(onFrame);
    onClosed_ = std::move(onClosed);
}

void FrameLink::SetDeadline(uint64_t ms) {
    deadlineMs_ = ms == 0 ? 0 : NowMs() + ms;
}

void FrameLink::SealSending(const LinkKey& key) {
    sendSeal_ = std::make_unique<FrameSeal>(key);
}

void FrameLink::SealReceiving(const LinkKey& key) {
    receiveSeal_ = std::make_unique<FrameSeal>(key);
}

std::vector<uint8_t> FrameLink::Encode(FrameType type, const uint8_t* payload, size_t size) {
    if (sendSeal_ == nullptr) {
        return EncodeFrame(type, payload, size);
    }
    std::vector<uint8_t> inner(1 + size);
    inner[0] = static_cast<uint8_t>(type);
    if (size > 0) {
        std::memcpy(inner.data() + 1, payload, size);
    }
    const std::vector<uint8_t> sealed = sendSeal_->Seal(inner.data(), inner.size());
    return EncodeFrame(FrameType::kSealed, sealed.data(), sealed.size());
}

bool FrameLink::Unseal() {
    std::vector<uint8_t> inner;
    if (current_.type != FrameType::kSealed || receiveSeal_ == nullptr ||
        !receiveSeal_->Open(payload_.data(), payload_.size(), inner) || inner.empty()) {
        return false;
    }
    uint8_t header[kFrameHeaderSize] = {};
    const uint32_t size = static_cast<uint32_t>(inner.size() - 1);
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<uint8_t>(size >> (8 * i));
    }
    header[4] = inner[0];
    FrameHeader innerHeader;
    if (ReadFrameHeader(header, innerHeader) != FrameFault::kNone || innerHeader.type == FrameType::kSealed) {
        return false;
    }
    current_ = innerHeader;
    payload_.assign(inner.begin() + 1, inner.end());
    return true;
}

void FrameLink::ContinueReading() {
    if (paused_ || closing_ || closed_ || reading_) {
        return;
    }
    if (!limitRate_) {
        reading_ = true;
        ReadHeader();
        return;
    }
    const uint64_t now = NowMs();
    const int allowed = PacketsAllowed(allowance_, now);
    asio::error_code ec;
    NoteHeldBack(allowance_, allowed == 0 && socket_.available(ec) > 0);
    if (Floods(allowance_)) {
        Cut("flooding");
        return;
    }
    reading_ = true;
    if (allowed == 0) {
        retry_.expires_after(kRateRetry);
        retry_.async_wait([self = shared_from_this()](const asio::error_code& ec) {
            self->reading_ = false;
            if (!ec) {
                self->ContinueReading();
            }
        });
        return;
    }
    ReadHeader();
}

void FrameLink::ReadHeader() {
    asio::async_read(socket_, asio::buffer(header_),
                     [self = shared_from_this()](const asio::error_code& ec, size_t) {
                         if (self->closing_ || self->closed_) {
                             return;
                         }
                         if (ec) {
                             self->End(ec == asio::error::eof ? "the connection was closed"
                                                              : "the connection was lost: " + ec.message());
                             return;
                         }
                         self->lastHeardMs_ = self->NowMs();
                         switch (ReadFrameHeader(self->header_, self->current_)) {
                             case FrameFault::kType:
                                 self->Cut("a frame of an unknown type");
                                 return;
                             case FrameFault::kTooLong:
                                 self->Cut("a frame over its size limit");
                                 return;
                             case FrameFault::kNone:
                                 break;
                         }
                         self->payload_.resize(self->current_.length);
                         if (self->current_.length == 0) {
                             self->Deliver();
                         } else {
                             self->ReadPayload();
                         }
                     });
}

void FrameLink::ReadPayload() {
    asio::async_read(socket_, asio::buffer(payload_),
                     [self = shared_from_this()](const asio::error_code& ec, size_t) {
                         if (self->closing_ || self->closed_) {
                             return;
                         }
                         if (ec) {
                             self->End("the connection was lost: " + ec.message());
                             return;
                         }
                         self->lastHeardMs_ = self->NowMs();
                         self->Deliver();
                     });
}

void FrameLink::Deliver() {
    reading_ = false;
    ChargeAllowance(allowance_, kFrameHeaderSize + payload_.size());
    if (receiveSeal_ != nullptr && !Unseal()) {
        Cut(current_.type == FrameType::kSealed
                ? "a frame failed its check (altered, replayed, reordered or dropped on the way)"
                : "a frame in the clear on a private link");
        return;
    }
    if (receiveSeal_ == nullptr && current_.type == FrameType::kSealed) {
        Cut("a sealed frame before the key exchange");
        return;
    }
    if (current_.type == FrameType::kBye) {
        End("the peer: " + FrameText(payload_));
        return;
    }
    if (current_.type != FrameType::kKeepAlive) {
        if (const FrameHandler handler = onFrame_) {
            handler(current_.type, payload_);
        }
    }
    ContinueReading();
}

void FrameLink::Pause() {
    paused_ = true;
}

void FrameLink::Resume() {
    paused_ = false;
    lastHeardMs_ = NowMs();  // the wait was ours, not the peer's silence
    ContinueReading();
}

void FrameLink::Send(FrameType type, const uint8_t* payload, size_t size) {
    if (closing_ || closed_) {
        return;
    }
    if (queuedBytes_ + size > kLinkQueueLimit) {
        peerFault_ = true;
        End("not reading what it is sent");
        return;
    }
    if (queue_.empty()) {
        lastWriteProgressMs_ = NowMs();
    }
    queue_.push_back(Encode(type, payload, size));
    queuedBytes_ += queue_.back().size();
    lastSentMs_ = NowMs();
    WriteNext();
}

void FrameLink::Send(FrameType type, const std::string& text) {
    Send(type, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

void FrameLink::WriteNext() {
    if (writing_ || closed_) {
        return;
    }
    if (queue_.empty()) {
        if (closing_) {
            End("");
        }
        return;
    }
    writing_ = true;
    asio::async_write(socket_, asio::buffer(queue_.front()),
                      [self = shared_from_this()](const asio::error_code& ec, size_t) {
                          self->writing_ = false;
                          if (self->closed_) {
                              return;
                          }
                          if (ec) {
                              self->End("the connection was lost: " + ec.message());
                              return;
                          }
                          self->queuedBytes_ -= self->queue_.front().size();
                          self->queue_.pop_front();
                          self->lastWriteProgressMs_ = self->NowMs();
                          if (self->queuedBytes_ < kLinkHighWater / 2 && self->onDrained_) {
                              const auto drained = self->onDrained_;
                              drained();
                          }
                          self->WriteNext();
                      });
}

void FrameLink::Close(const std::string& reason) {
    if (closing_ || closed_) {
        return;
    }
    const std::string text = reason.substr(0, MaxFramePayload(FrameType::kBye));
    queue_.push_back(Encode(FrameType::kBye, reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    queuedBytes_ += queue_.back().size();
    closing_ = true;
    closingSinceMs_ = NowMs();
    retry_.cancel();
    NotifyClosed(reason);
    WriteNext();
}

void FrameLink::Cut(const std::string& reason) {
    peerFault_ = true;
    Close(reason);
}

void FrameLink::End(const std::string& reason) {
    if (closed_) {
        return;
    }
    closed_ = true;
    asio::error_code ec;
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ec);
    socket_.close(ec);
    tick_.cancel();
    retry_.cancel();
    NotifyClosed(reason);
}

void FrameLink::NotifyClosed(const std::string& reason) {
    if (notified_) {
        return;
    }
    notified_ = true;
    const CloseHandler handler = std::move(onClosed_);
    onClosed_ = nullptr;
    onFrame_ = nullptr;
    onDrained_ = nullptr;  // no more handlers: the owners' cycles with this link are broken
    if (handler) {
        handler(reason);
    }
}

void FrameLink::Tick() {
    if (closed_) {
        return;
    }
    const uint64_t now = NowMs();
    // A tick far later than asked for means this machine did not run (suspended, stalled): the
    // time it lost is not the peer's silence, nor its slowness to read.
    if (lastTickMs_ != 0 && now - lastTickMs_ > kStallMs) {
        const uint64_t lost = now - lastTickMs_ - kTickPeriodMs;
        lastHeardMs_ += lost;
        lastWriteProgressMs_ += lost;
        deadlineMs_ += deadlineMs_ != 0 ? lost : 0;
    }
    lastTickMs_ = now;
    if (closing_) {
        if (now - closingSinceMs_ > kByeWaitMs) {
            End("");
            return;
        }
    } else if (deadlineMs_ != 0 && now >= deadlineMs_) {
        Close("no hello in time");
    } else if (!paused_ && now - lastHeardMs_ > kSilenceMs) {
        Cut("silent for " + std::to_string(kSilenceMs / 1000) + " s");
    } else if (!queue_.empty() && now - lastWriteProgressMs_ > kSilenceMs) {
        peerFault_ = true;
        End("not reading what it is sent");
        return;
    } else if (now - lastSentMs_ >= kKeepAliveMs) {
        Send(FrameType::kKeepAlive);
    }
    tick_.expires_after(kTickPeriod);
    tick_.async_wait([self = shared_from_this()](const asio::error_code& ec) {
        if (!ec) {
            self->Tick();
        }
    });
}

PacketBridge::PacketBridge(std::shared_ptr<FrameLink> link, int localFd)
    : link_(std::move(link)),
      local_(link_->Executor(), asio::generic::seq_packet_protocol(AF_UNIX, 0), localFd) {}

void PacketBridge::Start(std::function<void(const std::string&)> onEnded, std::vector<uint8_t> held) {
    onEnded_ = std::move(onEnded);
    if (!link_->IsOpen()) {
        End("the link has ended");
        return;
    }
    const auto self = shared_from_this();
    link_->SetHandlers(
        [self](FrameType type, std::vector<uint8_t>& payload) {
            if (type == FrameType::kPacket) {
                self->ToLocal(payload);
            } else {
                self->End("an unexpected frame during the match");
            }
        },
        [self](const std::string& reason) { self->End(reason); });
    link_->OnDrained([self] {
        if (self->waitingForDrain_) {
            self->waitingForDrain_ = false;
            self->ReadLocal();
        }
    });
    if (!held.empty()) {
        ToLocal(held);
    }
    ReadLocal();
}

void PacketBridge::Stop(const std::string& reason) {
    End(reason);
}

void PacketBridge::ToLocal(std::vector<uint8_t>& packet) {
    if (packet.empty() || ended_) {
        return;  // an empty message would read as the end of the connection
    }
    link_->Pause();
    toLocal_ = std::move(packet);
    local_.async_send(asio::buffer(toLocal_), 0,
                      [self = shared_from_this()](const asio::error_code& ec, size_t) {
                          if (self->ended_) {
                              return;
                          }
                          if (ec) {
                              self->localEnded_ = true;
                              self->End("the local side has gone");
                              return;
                          }
                          self->link_->Resume();
                      });
}

void PacketBridge::ReadLocal() {
    if (ended_) {
        return;
    }
    fromLocal_.resize(platform::kLobbyMaxPacket + 1);
    local_.async_receive(
        asio::buffer(fromLocal_), receivedFlags_,
        [self = shared_from_this()](const asio::error_code& ec, size_t size) {
            if (self->ended_) {
                return;
            }
            if (ec || size == 0) {
                self->localEnded_ = true;
                self->End("the client has ended");
                return;
            }
            if (size <= platform::kLobbyMaxPacket && (self->receivedFlags_ & MSG_TRUNC) == 0) {
                self->link_->Send(FrameType::kPacket, self->fromLocal_.data(), size);
            }
            if (self->link_->QueuedBytes() > kLinkHighWater) {
                self->waitingForDrain_ = true;  // read on once the link has sent most of it
            } else {
                self->ReadLocal();
            }
        });
}

void PacketBridge::End(const std::string& reason) {
    if (ended_) {
        return;
    }
    ended_ = true;
    asio::error_code ec;
    if (!localEnded_ && farewell_ && !link_->IsOpen()) {
        for (const std::vector<uint8_t>& packet : farewell_(reason)) {
            local_.send(asio::buffer(packet), 0, ec);
        }
    }
    local_.close(ec);
    link_->Close(reason);
    if (const auto onEnded = std::move(onEnded_)) {
        onEnded(reason);
    }
}

}  // namespace lobby
