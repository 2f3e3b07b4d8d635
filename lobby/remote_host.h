#pragma once
// The hosting side of a match played across machines. On its own thread it listens for joining
// Ravelins (IPv4 and IPv6), checks their join code and seats them: players by the names the host
// keeps for them, observers by any free name. When every remote player is seated the match can
// start: each seat gets a local lobby socket pair, one end bridged to its link here, the other
// end handed to the relay, which treats it like a local client's connection (the same checks,
// limits and the one relay order).
//
// Nothing here touches the relay: the session calls these functions from its own thread.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "lobby/client_setup.h"
#include "lobby/remote_settings.h"
#include "platform/lobby_socket.h"

namespace lobby {

// A joining connection must have sent its hello within this long: an honest joiner's comes after
// one round trip, and a short wait keeps unjoined connections from holding places for long.
inline constexpr uint64_t kHelloDeadlineMs = 3000;
// Connections at once, seated or not; unjoined ones are limited further (admission.h), so that
// places stay for the peers who proved the code.
inline constexpr size_t kMaxConnections = 64;
inline constexpr size_t kMaxRemoteObservers = 16;

struct HostConfig {
    uint16_t port = static_cast<uint16_t>(kDefaultPort);  // 0: any free port
    std::string code;
    std::vector<std::string> players;        // every player of the match, in order
    std::vector<std::string> remotePlayers;  // the players who join from elsewhere
};

// A seat whose link the relay takes over: its end of the lobby socket pair.
struct RemoteSeat {
    Seat seat;
    platform::LobbySocket socket;
};

// A line for the session to print: JSON lines go to standard output, the others to the log.
struct HostMessage {
    bool json = false;
    std::string text;
};

class RemoteHost {
  public:
    // Listens and starts the thread; nullptr with error set when no address could be bound.
    static std::unique_ptr<RemoteHost> Open(const HostConfig& config, std::string& error);
    ~RemoteHost();
    RemoteHost(const RemoteHost&) = delete;
    RemoteHost& operator=(const RemoteHost&) = delete;

    uint16_t Port() const;
    bool AllPlayersSeated() const;
    // Starts the match: every seated joiner gets its settings (match holds the settings and the
    // players; the seat is filled in per joiner). Returns the relay's ends, one per remote player
    // in the order of the players (a player whose link dropped meanwhile gets a closed pair, so
    // that the relay sees him leave), then the observers seated so far.
    std::vector<RemoteSeat> StartMatch(const RemoteMatch& match);
    // Observers seated since the last call, after the start; they join the running match.
    std::vector<RemoteSeat> TakeObservers();
    std::vector<HostMessage> TakeMessages();
    // Says goodbye to every joiner still linked, waits a moment for the byes to go out, and stops.
    void Stop();

    struct State;

  private:
    RemoteHost();
    std::unique_ptr<State> state_;
    std::thread thread_;
};

}  // namespace lobby
