#include "lobby/lobby_session.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>

#include "game/shell/lobby/lobby_packet.h"
#include "lobby/client_launch.h"
#include "lobby/client_setup.h"
#include "lobby/join_guard.h"
#include "lobby/log_text.h"
#include "lobby/port_mapping.h"
#include "lobby/relay.h"
#include "lobby/remote_host.h"
#include "lobby/report_json.h"
#include "lobby/screenshot_keeper.h"
#include "lobby/sync_check.h"
#include "platform/code_page.h"
#include "platform/instance_lock.h"
#include "platform/process.h"
#include "platform/process_start.h"

namespace fs = std::filesystem;

namespace lobby {

namespace {

// Packets taken from one client per round, so that a client sending too fast cannot starve the
// others.
constexpr int kPacketsPerRound = 64;
// Exit status of a match whose clients disagree.
constexpr int kDesyncStatus = 3;
constexpr int kClientErrorStatus = 4;
// How long clients asked to end may take before they are stopped.
constexpr int kGraceSeconds = 5;

struct Session {
    const RavelinOptions& options;
    fs::path data;
    fs::path work;
    std::string clientProgram;
    Relay relay;
    std::unique_ptr<RemoteHost> host;      // --host: the remote seats' links
    std::unique_ptr<PortMapping> mapping;  // --map-port: removed when the session ends
    std::string input;
    bool inputOpen = true;
    bool closing = false;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    int handledSignals = 0;
    bool timedOut = false;
    bool clientFailedToStart = false;
    bool clientFailed = false;  // a client ended with a status other than 0
    size_t clientsStarted = 0;
};

void Log(const std::string& text) {
    std::cerr << "ravelin: " << LogSafe(text) << std::endl;
}

fs::path StateLogPath(const Session& s, size_t index) {
    return s.work / ("client-" + std::to_string(index)) / "state.log";
}

// Compares the clients' state logs and writes the verdict as a JSON line. True when they agree:
// those who played to the end saw the same match, those who left saw its start, observers its end.
bool CheckSync(const Session& s) {
    std::vector<StateLogSource> logs;
    for (size_t i = 0; i < s.relay.clients.size(); ++i) {
        const RelayClient& client = s.relay.clients[i];
        if (client.remote) {
            continue;  // its log is kept on its own machine
        }
        const LogRole role = client.seat.observer     ? LogRole::kObserver
                             : client.sentFinalScores ? LogRole::kFinisher
                                                      : LogRole::kLeaver;
        logs.push_back({StateLogPath(s, i).string(), role});
    }
    const SyncVerdict verdict = CompareClientLogs(logs);
    std::cout << SyncVerdictJson(verdict, logs.size()) << std::endl;
    return verdict.agree;
}

// The single-instance name each client is started with; its lock file is removed at the end.
std::string ClientInstance(size_t index) {
    return "ravelin-" + std::to_string(platform::ProcessId()) + "-" + std::to_string(index);
}

// Makes the seat's game directory and socket and starts its client. False with error set when the
// directory or the socket cannot be made; a client that cannot be started counts as ended.
bool StartClient(Session& s, const Seat& seat, std::string& error) {
    const size_t index = s.relay.clients.size();
    const fs::path dir = s.work / ("client-" + std::to_string(index));
    const std::string startIni = BuildStartIni(s.options.match, s.options.players, seat);
    if (!PrepareClientDirectory(s.data, dir, s.options.match, startIni, error)) {
        return false;
    }
    RelayClient& client = s.relay.clients.emplace_back();
    client.seat = seat;
    client.listener = platform::LobbyListener::Listen(
        (s.work / ("client-" + std::to_string(index) + ".sock")).string(), &error);
    if (!client.listener.IsOpen()) {
        return false;
    }
    const ClientLaunch launch{s.clientProgram,        dir,
                              client.listener.Path(), ClientInstance(index),
                              StateLogPath(s, index), "client-" + std::to_string(index)};
    std::string spawnError;
    client.pid = LaunchClient(s.options, launch, spawnError);
    if (client.pid < 0) {
        Log(spawnError);
        s.clientFailedToStart = true;
        client.processEnded = true;
        ClientLeft(s.relay, client);
    } else {
        Log("started " + seat.name + (seat.observer ? " (observer)" : "") + " in " + dir.string());
    }
    return true;
}

void CloseMatch(Session& s) {
    if (!s.closing) {
        s.closing = true;
        Log("closing the match");
        SendToAll(s.relay, LobbyMessage(shell::kMsgCloseMatch, "", ""));
    }
}

// A seat played on another machine: the relay reads and writes its link's end like a client's socket.
void AddRemoteClient(Session& s, const Seat& seat, platform::LobbySocket socket) {
    RelayClient& client = s.relay.clients.emplace_back();
    client.seat = seat;
    client.socket = std::move(socket);
    client.remote = true;
    Log(seat.name + (seat.observer ? " watches" : " plays") + " from another machine");
}

// An observer joins the running match: started here, or (remote) linked from another machine.
void ObserverJoins(Session& s, const std::string& name, platform::LobbySocket* remote = nullptr) {
    for (const RelayClient& c : s.relay.clients) {
        if (c.seat.name == name && !c.gone) {  // one who has left may come back under his name
            Log("the name " + name + " is taken");
            return;
        }
    }
    if (std::string error; !CheckSeatName(name, kMaxObserverName, "observer", error)) {
        Log(error);
        return;
    }
    RelayClient* player = FirstPlayer(s.relay);
    if (player == nullptr) {
        Log("no player left to bring an observer up to date");
        return;
    }
    Seat seat;
    seat.name = name;
    seat.observer = true;
    seat.joinsRunning = true;
    if (remote != nullptr) {
        AddRemoteClient(s, seat, std::move(*remote));
    } else if (std::string error; !StartClient(s, seat, error)) {
        Log(error);
        return;
    }
    SendToClient(*player, LobbyMessage(shell::kMsgObserverJoin, name, player->seat.name));
}

void PrintHostMessages(Session& s) {
    if (s.host == nullptr) {
        return;
    }
    for (const HostMessage& message : s.host->TakeMessages()) {
        if (message.json) {
            std::cout << message.text << std::endl;
        } else {
            Log(message.text);
        }
    }
}

// Remote observers who joined since the last round, and remote seats whose link has ended.
void ServeRemoteSeats(Session& s) {
    if (s.host == nullptr) {
        return;
    }
    for (RemoteSeat& arrival : s.host->TakeObservers()) {
        ObserverJoins(s, arrival.seat.name, &arrival.socket);  // a refused one's link ends with its socket
    }
    for (RelayClient& client : s.relay.clients) {
        if (client.remote && client.gone && !client.closing) {
            client.processEnded = true;
        }
    }
    PrintHostMessages(s);
}

void RunCommand(Session& s, const std::string& line) {
    std::istringstream in(line);
    std::string command;
    in >> command;
    std::string rest;
    std::getline(in >> std::ws, rest);
    if (command == "close") {
        CloseMatch(s);
    } else if (command == "observe") {
        ObserverJoins(s, rest);
    } else if (command == "say") {
        // Typed on a terminal in UTF-8; the clients read their language's code page.
        SendToAll(s.relay, LobbyMessage(shell::kMsgSystemText, "", "",
                                        platform::Utf8ToCodePageDropping(rest, s.relay.codePage)));
    } else if (!command.empty()) {
        Log("unknown command: " + command + " (observe NAME, close, say TEXT)");
    }
}

void ReadCommands(Session& s) {
    if (!s.inputOpen) {
        return;
    }
    s.inputOpen = platform::ReadStandardInput(s.input);
    size_t end;
    while ((end = s.input.find('\n')) != std::string::npos) {
        RunCommand(s, s.input.substr(0, end));
        s.input.erase(0, end + 1);
    }
    if (!s.inputOpen && !s.input.empty()) {
        RunCommand(s, s.input);
        s.input.clear();
    }
}

void ReceiveFrom(Session& s, RelayClient& client, int maxPackets) {
    if (client.gone) {
        return;
    }
    AcceptConnections(s.relay, client);
    const bool wasOpen = client.socket.IsOpen();
    ReadClient(s.relay, client, maxPackets, std::cout);
    if (wasOpen && !client.socket.IsOpen() && !client.gone) {
        Log(client.seat.name + " disconnected");
        ClientLeft(s.relay, client);
    }
}

void ReapClients(Session& s) {
    for (platform::ExitedChild child = platform::TakeExitedChild(); child.pid > 0;
         child = platform::TakeExitedChild()) {
        for (RelayClient& client : s.relay.clients) {
            if (client.pid == child.pid) {
                client.processEnded = true;
                s.clientFailed |= child.exitCode != 0;
                Log(client.seat.name + " ended with " + std::to_string(child.exitCode));
                // What it sent before it ended still counts, whatever its allowance.
                ReadRemainder(s.relay, client, std::cout);
                ClientLeft(s.relay, client);
            }
        }
    }
}

bool AllEnded(const Session& s) {
    for (const RelayClient& client : s.relay.clients) {
        if (!client.processEnded) {
            return false;
        }
    }
    return true;
}

void StopAll(Session& s, bool force) {
    for (RelayClient& client : s.relay.clients) {
        if (client.remote) {
            ClientLeft(s.relay, client);  // closing its link ends it on its machine
        } else if (!client.processEnded && client.pid > 0) {
            platform::StopProcess(client.pid, force);
        }
    }
}

// Ctrl-C closes the match, a second one stops the clients at once. Past the time limit the clients
// are asked to end, and stopped a few seconds later if they have not.
void HandleStopRequests(Session& s) {
    const int signals = platform::StopSignalCount();
    if (signals > s.handledSignals) {
        s.handledSignals = signals;
        if (signals == 1) {
            CloseMatch(s);
        } else {
            StopAll(s, true);
        }
    }
    if (s.options.maxSeconds <= 0) {
        return;
    }
    const auto elapsed = std::chrono::steady_clock::now() - s.start;
    if (!s.timedOut && elapsed > std::chrono::seconds(s.options.maxSeconds)) {
        Log("time is up: stopping the clients");
        s.timedOut = true;
        StopAll(s, false);
    } else if (s.timedOut && elapsed > std::chrono::seconds(s.options.maxSeconds + kGraceSeconds)) {
        StopAll(s, true);
    }
}

void Poll(Session& s) {
    std::vector<platform::PollEntry> entries;
    for (const RelayClient& client : s.relay.clients) {
        if (client.closing) {
            entries.push_back({client.socket.Fd(), true, false});  // only its reason is still written
        }
        if (client.gone) {
            continue;  // a client out of the match is neither read nor accepted any more
        }
        entries.push_back({client.listener.Fd()});
        if (client.socket.IsOpen()) {
            // A sender with more waiting than its allowance is read on the next round, not woken for.
            entries.push_back({client.socket.Fd(), !client.outbox.empty(), !client.allowance.heldNow});
        }
    }
    if (s.inputOpen) {
        entries.push_back({platform::StandardInputFd()});
    }
    platform::PollFds(entries, 50);
}

// Leaves nothing behind: the clients' sockets and instance lock files, and a work folder of our own.
void EndSession(Session& s, bool ownWork) {
    const size_t started = std::max(s.clientsStarted, s.relay.clients.size());  // observers came later
    s.relay.clients.clear();                                                    // removes the socket files
    std::error_code ec;
    for (size_t i = 0; i < started; ++i) {
        fs::remove(platform::InstanceLockPath(ClientInstance(i).c_str()), ec);
    }
    if (ownWork) {
        KeepScreenshotsBeforeRemoving(s.work, Log);
        fs::remove_all(s.work, ec);
    }
}

// --host: listens, prints the join code and waits until every remote player has joined. -1 when the
// match can start; else the exit status (error set when something failed).
int WaitForRemotePlayers(Session& s, std::string& error) {
    HostConfig config;
    config.port = static_cast<uint16_t>(s.options.port);
    config.code = s.options.code.empty() ? MakeJoinCode() : s.options.code;
    config.players = s.options.players;
    config.remotePlayers = s.options.remotePlayers;
    s.host = RemoteHost::Open(config, error);
    if (s.host == nullptr) {
        return 2;
    }
    if (s.options.mapPort) {
        s.mapping = std::make_unique<PortMapping>(RouterMappers(), s.host->Port());
        const MappingOutcome& outcome = s.mapping->Outcome();
        std::cout << EventJson("port_mapping", "", outcome.text, {{"mapped", outcome.mapped ? 1 : 0}})
                  << std::endl;
        Log(outcome.text);
    }
    std::cout << HostingJson(s.host->Port(), config.code) << std::endl;
    Log("hosting on port " + std::to_string(s.host->Port()) + " with join code " + config.code +
        ": on the other machines run  Ravelin --join THIS_MACHINE:" + std::to_string(s.host->Port()) +
        " --code " + config.code + " --name NAME");
    while (!s.host->AllPlayersSeated()) {
        PrintHostMessages(s);
        if (platform::StopSignalCount() > 0) {
            error = "stopped before every remote player had joined";
            return 1;
        }
        if (s.options.maxSeconds > 0 &&
            std::chrono::steady_clock::now() - s.start > std::chrono::seconds(s.options.maxSeconds)) {
            error = "time is up before every remote player had joined";
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    PrintHostMessages(s);
    Log("every remote player has joined: the match starts");
    return -1;
}

// A remote player's seat goes to the relay as his link's end instead of a started client.
bool TakeRemoteSeat(Session& s, const std::string& name, std::vector<RemoteSeat>& remoteSeats) {
    for (auto seat = remoteSeats.begin(); seat != remoteSeats.end(); ++seat) {
        if (!seat->seat.observer && seat->seat.name == name) {
            AddRemoteClient(s, seat->seat, std::move(seat->socket));
            remoteSeats.erase(seat);
            return true;
        }
    }
    return false;
}

}  // namespace

fs::path GameDataDirectory(const RavelinOptions& options) {
    if (!options.dataDir.empty()) {
        return options.dataDir;
    }
    if (fs::exists("Option.ini")) {
        return fs::current_path();
    }
    return fs::path(platform::RunningProgramFolder()) / ".." / "gamedata";
}

int RunLobby(const RavelinOptions& options) {
    RavelinOptions resolved = options;
    const fs::path data = fs::absolute(GameDataDirectory(options));
    std::string error;
    if (!ResolveMatchSettings(data, resolved.match, error)) {
        Log(error);
        return 2;
    }
    const bool ownWork = options.workDir.empty();
    Session session{resolved};
    session.data = data;
    session.work = ownWork ? fs::temp_directory_path() / ("ravelin-" + std::to_string(platform::ProcessId()))
                           : fs::absolute(options.workDir);
    session.clientProgram = ClientProgram(options);
    std::error_code ec;
    fs::create_directories(session.work, ec);

    platform::CatchStopSignals();
    std::vector<RemoteSeat> remoteSeats;
    if (resolved.host) {
        if (const int status = WaitForRemotePlayers(session, error); status >= 0) {
            if (!error.empty()) {
                Log(error);
            }
            EndSession(session, ownWork);
            return status;
        }
        remoteSeats = session.host->StartMatch({resolved.match, resolved.players, Seat()});
    }
    for (size_t i = 0; i < resolved.players.size() + resolved.observers.size(); ++i) {
        Seat seat;
        seat.observer = i >= resolved.players.size();
        seat.slot = seat.observer ? 0 : static_cast<int>(i);
        seat.name = seat.observer ? resolved.observers[i - resolved.players.size()] : resolved.players[i];
        session.clientsStarted = i + 1;
        if (TakeRemoteSeat(session, seat.name, remoteSeats)) {
            continue;
        }
        if (!StartClient(session, seat, error)) {
            Log(error);
            StopAll(session, true);
            EndSession(session, ownWork);
            return 2;
        }
    }
    for (RemoteSeat& observer : remoteSeats) {  // remote observers seated before the start
        AddRemoteClient(session, observer.seat, std::move(observer.socket));
    }

    platform::LanguageCodePage(resolved.match.language, session.relay.codePage);
    session.relay.players = static_cast<int>(resolved.players.size());
    if (resolved.players.size() >= 2) {
        session.relay.turns.emplace(resolved.players, ParseTimeScale(resolved.timeScale));
    }
    session.relay.log = &std::cerr;
    session.relay.events = &std::cout;
    while (!AllEnded(session)) {
        Poll(session);
        session.relay.nowMs = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                        std::chrono::steady_clock::now() - session.start)
                                                        .count());
        for (RelayClient& client : session.relay.clients) {
            ReceiveFrom(session, client, kPacketsPerRound);
        }
        WatchTurns(session.relay);
        ReadCommands(session);
        ServeRemoteSeats(session);
        FlushOutboxes(session.relay);
        ReapClients(session);
        EndObserversAfterPlayers(session.relay);
        FlushOutboxes(session.relay);
        HandleStopRequests(session);
    }
    if (session.host != nullptr) {
        session.host->Stop();
        PrintHostMessages(session);
    }
    Log("every client has ended; " + RelaySummary(session.relay));
    const bool inSync = !resolved.checkSync || CheckSync(session);
    EndSession(session, ownWork);
    if (session.clientFailedToStart) {
        return 2;
    }
    if (session.timedOut) {
        return 1;
    }
    return !inSync ? kDesyncStatus : session.clientFailed ? kClientErrorStatus : 0;
}

}  // namespace lobby
