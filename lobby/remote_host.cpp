#include "lobby/remote_host.h"

#include <sys/socket.h>

#include <asio.hpp>
#include <chrono>
#include <future>
#include <map>
#include <set>

#include "lobby/admission.h"
#include "lobby/join_guard.h"
#include "lobby/refusal_digest.h"
#include "lobby/remote_link.h"
#include "lobby/report_json.h"

namespace lobby {

namespace {

using Tcp = asio::ip::tcp;

constexpr auto kStopWait = std::chrono::milliseconds(500);
constexpr auto kAcceptRetry = std::chrono::milliseconds(100);
constexpr auto kDigestPeriod = std::chrono::seconds(1);

uint64_t SteadyMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

}  // namespace

struct RemoteHost::State {
    asio::io_context io;
    asio::executor_work_guard<asio::io_context::executor_type> work = asio::make_work_guard(io);
    std::vector<std::unique_ptr<Tcp::acceptor>> acceptors;
    HostConfig config;
    uint16_t port = 0;

    // Only on the host's thread:
    JoinGuard guard;
    UnjoinedPool unjoined;
    RefusalDigest refusals;
    asio::steady_timer digestTimer{io};
    uint64_t nextId = 1;
    std::vector<std::weak_ptr<FrameLink>> links;  // every connection, to limit their number
    struct Pending {
        enum class Stage { kStart, kConfirm, kHello };
        std::string address;
        uint64_t id = 0;
        std::weak_ptr<FrameLink> link;
        Stage stage = Stage::kStart;
        std::shared_ptr<PakeState> pake = std::make_shared<PakeState>();
    };
    std::map<const FrameLink*, Pending> pending;                        // not seated yet
    std::map<std::string, std::shared_ptr<FrameLink>> seatedPlayers;    // before the start
    std::map<std::string, std::shared_ptr<FrameLink>> seatedObservers;  // before the start
    std::set<std::string> observerNames;
    std::vector<std::weak_ptr<PacketBridge>> bridges;
    bool started = false;
    RemoteMatch match;

    // Shared with the session's thread:
    std::mutex mutex;
    std::vector<RemoteSeat> arrivals;
    std::vector<HostMessage> messages;
    std::atomic<bool> allSeated{false};

    void Log(const std::string& text) {
        const std::lock_guard lock(mutex);
        messages.push_back({false, text});
    }
    void Event(const std::string& event, const std::string& name, const std::string& reason) {
        const std::lock_guard lock(mutex);
        messages.push_back({true, EventJson(event, name, reason)});
    }
    // A connection from address was refused or ended before joining: told in full, or only
    // counted once the address has been told about often enough in this interval.
    void Refused(const std::string& address, const std::string& name, const std::string& reason) {
        if (refusals.Note(address, SteadyMs())) {
            Event("refused", name, reason + " (" + address + ")");
        }
    }
    void EndedUnjoined(const std::string& address, const std::string& reason) {
        if (refusals.Note(address, SteadyMs())) {
            Log("a connection from " + address + " ended before it joined: " + reason);
        }
    }
    void SumUpRefusals(bool everything) {
        for (std::string& line : refusals.Summaries(SteadyMs(), everything)) {
            const std::lock_guard lock(mutex);
            messages.push_back({true, std::move(line)});
        }
    }
    void WatchRefusals() {
        digestTimer.expires_after(kDigestPeriod);
        digestTimer.async_wait([this](const asio::error_code& ec) {
            if (!ec) {
                SumUpRefusals(false);
                WatchRefusals();
            }
        });
    }
    void Unpend(const FrameLink* link) {
        if (const auto found = pending.find(link); found != pending.end()) {
            unjoined.Remove(found->second.id);
            pending.erase(found);
        }
    }

    void Accept(Tcp::acceptor& acceptor);
    void OnAccepted(Tcp::socket socket);
    void OnUnjoinedFrame(const std::shared_ptr<FrameLink>& link, FrameType type,
                         const std::vector<uint8_t>& payload);
    void OnHello(const std::shared_ptr<FrameLink>& link, FrameType type, const std::vector<uint8_t>& payload);
    std::string SeatPlayer(const std::shared_ptr<FrameLink>& link, const std::string& name);
    std::string SeatObserver(const std::shared_ptr<FrameLink>& link, const std::string& name);
    void WaitForStart(const std::shared_ptr<FrameLink>& link, const std::string& name, bool observer);
    platform::LobbySocket Bridge(const std::shared_ptr<FrameLink>& link, const Seat& seat);
    std::vector<RemoteSeat> Start(const RemoteMatch& remote);
    void UpdateAllSeated();
};

void RemoteHost::State::Accept(Tcp::acceptor& acceptor) {
    acceptor.async_accept([this, &acceptor](const asio::error_code& ec, Tcp::socket socket) {
        if (ec == asio::error::operation_aborted) {
            return;
        }
        if (ec) {
            // Out of descriptors or similar: try again a little later rather than spin.
            auto timer = std::make_shared<asio::steady_timer>(io, kAcceptRetry);
            timer->async_wait([this, &acceptor, timer](const asio::error_code& waited) {
                if (!waited) {
                    Accept(acceptor);
                }
            });
            return;
        }
        OnAccepted(std::move(socket));
        Accept(acceptor);
    });
}

void RemoteHost::State::OnAccepted(Tcp::socket socket) {
    KeepFromChildren(socket.native_handle());
    std::erase_if(links, [](const std::weak_ptr<FrameLink>& weak) {
        const auto link = weak.lock();
        return link == nullptr || !link->IsOpen();
    });
    asio::error_code ec;
    const std::string address = PlainAddress(socket.remote_endpoint(ec).address().to_string());
    if (links.size() >= kMaxConnections) {
        Refused(address, "", "too many connections");
        socket.close(ec);
        return;
    }
    const uint64_t id = nextId++;
    const UnjoinedPool::Decision admitted = unjoined.Admit(id, AddressGroup(address));
    if (!admitted.admit) {
        Refused(address, "", "too many connections waiting to join from this network");
        socket.close(ec);
        return;
    }
    if (admitted.evict != 0) {
        for (const auto& [raw, waiting] : pending) {
            if (waiting.id == admitted.evict) {
                if (const auto evicted = waiting.link.lock()) {
                    evicted->Close("too many connections waiting to join: try again");
                }
                break;
            }
        }
    }
    auto link = std::make_shared<FrameLink>(std::move(socket));
    link->LimitRate();
    links.push_back(link);
    if (!guard.MayTry(address, SteadyMs())) {
        unjoined.Remove(id);
        link->Start(nullptr, nullptr);
        link->Close("too many wrong join codes from this address: try again later");
        Refused(address, "", "an address waiting after wrong join codes");
        return;
    }
    pending[link.get()] = {address, id, link};
    link->SetDeadline(kHelloDeadlineMs);
    const std::weak_ptr<FrameLink> weak = link;
    link->Start(
        [this, weak](FrameType type, std::vector<uint8_t>& payload) {
            if (const auto self = weak.lock()) {
                OnUnjoinedFrame(self, type, payload);
            }
        },
        [this, raw = link.get(), address](const std::string& reason) {
            const auto found = pending.find(raw);
            if (found == pending.end()) {
                return;  // refused ones were told already
            }
            const bool guessed = found->second.stage == Pending::Stage::kConfirm;
            Unpend(raw);
            if (guessed) {
                // It has the host's proof and left without its own: it may have tried one guess.
                guard.NoteWrongCode(address, SteadyMs());
                Refused(address, "", "a wrong join code (it left after the host's proof)");
            } else {
                EndedUnjoined(address, reason);
            }
        });
}

void RemoteHost::State::OnUnjoinedFrame(const std::shared_ptr<FrameLink>& link, FrameType type,
                                        const std::vector<uint8_t>& payload) {
    const auto found = pending.find(link.get());
    if (found == pending.end()) {
        return;
    }
    Pending& waiting = found->second;
    const std::string address = waiting.address;
    if (waiting.stage == Pending::Stage::kStart) {
        std::vector<uint8_t> reply;
        if (type != FrameType::kPakeStart || !PakeReply(config.code, payload, *waiting.pake, reply)) {
            Unpend(link.get());
            Refused(address, "", "no key exchange");
            link->Close("the first frame must start the key exchange");
            return;
        }
        link->Send(FrameType::kPakeReply, reply.data(), reply.size());
        link->SealSending(waiting.pake->keys.hostToJoiner);
        waiting.stage = Pending::Stage::kConfirm;
    } else if (waiting.stage == Pending::Stage::kConfirm) {
        if (type != FrameType::kPakeConfirm || !PakeConfirmed(*waiting.pake, payload)) {
            guard.NoteWrongCode(address, SteadyMs());
            Unpend(link.get());
            Refused(address, "", "a wrong join code");
            link->Close("wrong join code");
            return;
        }
        guard.NoteRightCode(address);
        link->SealReceiving(waiting.pake->keys.joinerToHost);
        waiting.pake.reset();
        waiting.stage = Pending::Stage::kHello;
    } else {
        OnHello(link, type, payload);
    }
}

void RemoteHost::State::OnHello(const std::shared_ptr<FrameLink>& link, FrameType type,
                                const std::vector<uint8_t>& payload) {
    const auto found = pending.find(link.get());
    const std::string address = found != pending.end() ? found->second.address : link->PeerAddress();
    Unpend(link.get());
    Hello hello;
    if (type != FrameType::kHello || !DecodeHello(payload, hello)) {
        Refused(address, "", "no hello");
        link->Close("the first frame after the key exchange must be a hello");
        return;
    }
    link->SetDeadline(0);
    const std::string refusal =
        hello.observer ? SeatObserver(link, hello.name) : SeatPlayer(link, hello.name);
    if (!refusal.empty()) {
        Refused(address, hello.name, refusal);
        link->Close(refusal);
        return;
    }
    Event("joined", hello.name, hello.observer ? "observer from " + address : "player from " + address);
}

std::string RemoteHost::State::SeatPlayer(const std::shared_ptr<FrameLink>& link, const std::string& name) {
    if (started) {
        return "the match has started";
    }
    if (!Contains(config.remotePlayers, name)) {
        return "no seat kept for that name (the host keeps seats for " + JoinNames(config.remotePlayers) +
               ")";
    }
    if (const auto seated = seatedPlayers.find(name);
        seated != seatedPlayers.end() && seated->second->IsOpen()) {
        return "that seat is taken";
    }
    seatedPlayers[name] = link;
    WaitForStart(link, name, false);
    UpdateAllSeated();
    return "";
}

std::string RemoteHost::State::SeatObserver(const std::shared_ptr<FrameLink>& link, const std::string& name) {
    if (std::string error; !CheckSeatName(name, kMaxObserverName, "observer", error)) {
        return error;
    }
    if (Contains(config.players, name) || observerNames.count(name) != 0) {
        return "that name is taken";
    }
    if (observerNames.size() >= kMaxRemoteObservers) {
        return "no room for more observers";
    }
    observerNames.insert(name);
    if (!started) {
        seatedObservers[name] = link;
        WaitForStart(link, name, true);
        return "";
    }
    Seat seat;
    seat.name = name;
    seat.observer = true;
    seat.joinsRunning = true;
    platform::LobbySocket socket = Bridge(link, seat);
    const std::lock_guard lock(mutex);
    arrivals.push_back({seat, std::move(socket)});
    return "";
}

void RemoteHost::State::WaitForStart(const std::shared_ptr<FrameLink>& link, const std::string& name,
                                     bool observer) {
    const std::weak_ptr<FrameLink> weak = link;
    link->SetHandlers(
        [weak](FrameType, std::vector<uint8_t>&) {
            if (const auto self = weak.lock()) {
                self->Close("nothing but keep-alives before the match starts");
            }
        },
        [this, name, observer, raw = link.get()](const std::string& reason) {
            auto& seats = observer ? seatedObservers : seatedPlayers;
            if (const auto seated = seats.find(name); seated != seats.end() && seated->second.get() == raw) {
                seats.erase(seated);
                if (observer) {
                    observerNames.erase(name);
                }
                UpdateAllSeated();
                Log(name + " left before the start: " + reason);
            }
        });
    std::vector<std::string> waiting;
    for (const std::string& player : config.remotePlayers) {
        if (seatedPlayers.count(player) == 0) {
            waiting.push_back(player);
        }
    }
    link->Send(FrameType::kSeated,
               "seated as " + name +
                   (waiting.empty() ? "; the match starts" : "; waiting for " + JoinNames(waiting)));
}

platform::LobbySocket RemoteHost::State::Bridge(const std::shared_ptr<FrameLink>& link, const Seat& seat) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0) {
        link->Close("the host could not make a socket");
        return platform::LobbySocket();
    }
    RemoteMatch remote = match;
    remote.seat = seat;
    link->Send(FrameType::kSettings, EncodeRemoteMatch(remote));
    auto bridge = std::make_shared<PacketBridge>(link, fds[0]);
    bridges.push_back(bridge);
    const std::weak_ptr<FrameLink> weak = link;
    bridge->Start([this, seat, weak](const std::string& reason) {
        Log(seat.name + "'s link ended: " + reason);
        if (const auto ended = weak.lock(); ended != nullptr && ended->EndedByPeerFault()) {
            Event("removed", seat.name, reason);  // cut by its link: the match is told like any removal
        }
        if (seat.observer) {
            observerNames.erase(seat.name);  // the name and the place are free again
        }
    });
    return platform::LobbySocket(fds[1]);
}

std::vector<RemoteSeat> RemoteHost::State::Start(const RemoteMatch& remote) {
    started = true;
    match = remote;
    std::vector<RemoteSeat> seats;
    for (size_t slot = 0; slot < config.players.size(); ++slot) {
        const std::string& name = config.players[slot];
        if (!Contains(config.remotePlayers, name)) {
            continue;
        }
        Seat seat;
        seat.name = name;
        seat.slot = static_cast<int>(slot);
        const auto seated = seatedPlayers.find(name);
        if (seated != seatedPlayers.end() && seated->second->IsOpen()) {
            seats.push_back({seat, Bridge(seated->second, seat)});
        } else {
            auto [ours, theirs] = platform::LobbySocket::Pair();  // ours closes: the relay sees him leave
            seats.push_back({seat, std::move(theirs)});
        }
    }
    for (auto& [name, link] : seatedObservers) {
        Seat seat;
        seat.name = name;
        seat.observer = true;
        if (link->IsOpen()) {
            seats.push_back({seat, Bridge(link, seat)});
        }
    }
    seatedPlayers.clear();
    seatedObservers.clear();
    return seats;
}

void RemoteHost::State::UpdateAllSeated() {
    for (const std::string& name : config.remotePlayers) {
        const auto seated = seatedPlayers.find(name);
        if (seated == seatedPlayers.end() || !seated->second->IsOpen()) {
            allSeated = false;
            return;
        }
    }
    allSeated = true;
}

RemoteHost::RemoteHost() : state_(std::make_unique<State>()) {}

RemoteHost::~RemoteHost() {
    Stop();
}

std::unique_ptr<RemoteHost> RemoteHost::Open(const HostConfig& config, std::string& error) {
    if (!LinkCryptoReady()) {
        error = "the cryptography library could not be started";
        return nullptr;
    }
    std::unique_ptr<RemoteHost> host(new RemoteHost());
    State& s = *host->state_;
    s.config = config;
    uint16_t port = config.port;
    std::string failures;
    for (const Tcp protocol : {Tcp::v4(), Tcp::v6()}) {
        auto acceptor = std::make_unique<Tcp::acceptor>(s.io);
        asio::error_code ec;
        acceptor->open(protocol, ec);
        KeepFromChildren(acceptor->is_open() ? acceptor->native_handle() : -1);
        if (!ec && protocol == Tcp::v6()) {
            acceptor->set_option(asio::ip::v6_only(true), ec);  // IPv4 has its own socket
        }
        if (!ec) {
            acceptor->set_option(Tcp::acceptor::reuse_address(true), ec);
            acceptor->bind(Tcp::endpoint(protocol, port), ec);
        }
        if (!ec) {
            acceptor->listen(asio::socket_base::max_listen_connections, ec);
        }
        if (ec) {
            failures += std::string(failures.empty() ? "" : "; ") +
                        (protocol == Tcp::v4() ? "IPv4: " : "IPv6: ") + ec.message();
            continue;
        }
        port = acceptor->local_endpoint(ec).port();  // the same port for both when any was asked for
        s.acceptors.push_back(std::move(acceptor));
    }
    if (s.acceptors.empty()) {
        error = "cannot listen on port " + std::to_string(config.port) + ": " + failures;
        return nullptr;
    }
    if (!failures.empty()) {
        s.Log("listening on one protocol only (" + failures + ")");
    }
    s.port = port;
    for (const auto& acceptor : s.acceptors) {
        s.Accept(*acceptor);
    }
    s.UpdateAllSeated();
    s.WatchRefusals();
    host->thread_ = std::thread([&s] { s.io.run(); });
    return host;
}

uint16_t RemoteHost::Port() const {
    return state_->port;
}

bool RemoteHost::AllPlayersSeated() const {
    return state_->allSeated;
}

std::vector<RemoteSeat> RemoteHost::StartMatch(const RemoteMatch& match) {
    std::promise<std::vector<RemoteSeat>> done;
    asio::post(state_->io, [&] { done.set_value(state_->Start(match)); });
    return done.get_future().get();
}

std::vector<RemoteSeat> RemoteHost::TakeObservers() {
    const std::lock_guard lock(state_->mutex);
    return std::exchange(state_->arrivals, {});
}

std::vector<HostMessage> RemoteHost::TakeMessages() {
    const std::lock_guard lock(state_->mutex);
    return std::exchange(state_->messages, {});
}

void RemoteHost::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    State& s = *state_;
    asio::post(s.io, [&s] {
        for (const auto& acceptor : s.acceptors) {
            asio::error_code ec;
            acceptor->close(ec);
        }
        for (const auto& weak : s.bridges) {
            if (const auto bridge = weak.lock()) {
                bridge->Stop("the host has ended");
            }
        }
        for (const auto& weak : s.links) {
            if (const auto link = weak.lock()) {
                link->Close("the host has ended");
            }
        }
        s.digestTimer.cancel();
        s.SumUpRefusals(true);
        s.work.reset();
        auto timer = std::make_shared<asio::steady_timer>(s.io, kStopWait);
        timer->async_wait([&s, timer](const asio::error_code&) { s.io.stop(); });
    });
    thread_.join();
}

}  // namespace lobby
