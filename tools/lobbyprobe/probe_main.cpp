// RavelinProbe: a scripted client for exercising a lobby without the game. Started by Ravelin in
// place of Brightlea (Ravelin --client RavelinProbe), it reads its seat from its "Start.ini",
// sends a fixed script of messages through the game's own lobby link, writes every packet it
// receives to "received.log" in its directory, and ends once every player has said "GameEnd" (or
// left), or when the lobby closes the match.
//
// RAVELIN_PROBE_ROLES="Name=role,..." gives single players another script:
//   quit     sends one chat line and ends at once, without saying goodbye
//   garbage  also sends malformed packets and a flood of chat lines
//   final    as soon as the lobby has sent it something, sends its final reports and ends at once
//            without reading anything
//   slow     reads what arrives for RAVELIN_PROBE_WAIT_MS (default 5000) before its script, so
//            that a match lasts a while

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "game/shell/launch/launch_files.h"
#include "game/shell/lobby/lobby_link.h"
#include "game/shell/lobby/lobby_link_watch.h"
#include "game/shell/lobby/lobby_messages.h"
#include "lobby/client_setup.h"
#include "platform/clock.h"
#include "platform/lobby_socket.h"

namespace {

constexpr int kRounds = 20;
constexpr int kFlood = 3000;

struct ProbeSeat {
    std::vector<std::string> players;
    int slot = 0;
    bool observer = false;
    std::string observerName;
};

ProbeSeat ReadSeat() {
    const std::string options = lobby::ReadWholeFile("Option.ini");
    shell::OptionSettings language;
    shell::ParseOptionFile(std::span(reinterpret_cast<const uint8_t*>(options.data()), options.size()),
                           language);
    const std::string start = lobby::ReadWholeFile(std::string("Info/") + language.language + "/Start.ini");
    shell::MatchConfig match;
    shell::PlayerInfo players[shell::kPlayerSlots];
    shell::ParseStartFile(std::span(reinterpret_cast<const uint8_t*>(start.data()), start.size()), match,
                          players);
    ProbeSeat seat;
    for (int slot = 0; slot < std::clamp(match.maxPlayers, 0, shell::kPlayerSlots); ++slot) {
        seat.players.push_back(players[slot].name);
    }
    seat.slot = std::clamp(match.localSlot, 0, shell::kPlayerSlots - 1);
    seat.observer = match.localIsObserver != 0;
    seat.observerName = match.observerName;
    return seat;
}

std::string RoleOf(const std::string& name) {
    const char* roles = std::getenv("RAVELIN_PROBE_ROLES");
    std::stringstream in(roles == nullptr ? "" : roles);
    std::string entry;
    while (std::getline(in, entry, ',')) {
        if (entry.rfind(name + "=", 0) == 0) {
            return entry.substr(name.size() + 1);
        }
    }
    return "play";
}

void SendGarbage(shell::LobbyLink& link) {
    const std::vector<std::vector<uint8_t>> garbage = {
        {1, 2, 3},
        std::vector<uint8_t>(47, 0xFF),
        std::vector<uint8_t>(60, 0xFF),  // a payload length far beyond the packet
        shell::BuildLobbyPacket("Mallory", "Nobody", nullptr, 0),
    };
    for (const auto& packet : garbage) {
        link.socket.Send(packet.data(), packet.size());
    }
    const uint8_t unknownType[5] = {200, 0, 0, 0, 0};
    shell::LobbySend(link, "", unknownType, sizeof unknownType);
    const uint8_t closeMatch[5] = {shell::kMsgCloseMatch, 0, 0, 0, 0};  // only the lobby closes a match
    shell::LobbySend(link, "", closeMatch, sizeof closeMatch);
    const uint8_t report[7] = {shell::kMsgHoleReport, 0, 0, 0, 1, 1, 0};
    const auto forged = shell::BuildLobbyPacket("Ann", "", report, sizeof report);  // in someone else's name
    link.socket.Send(forged.data(), forged.size());
    for (int i = 0; i < kFlood; ++i) {
        shell::SendChat(link, "flood");
    }
}

std::string Hex(const uint8_t* data, size_t size) {
    std::string text;
    char digits[3];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(digits, sizeof digits, "%02x", data[i]);
        text += digits;
    }
    return text;
}

constexpr const char* kHelp =
    "usage: RavelinProbe [--help]\n"
    "A scripted client for trying a lobby without the game. Started by a lobby in a client's game\n"
    "directory (Ravelin --client RavelinProbe), it reads its seat from the language folder's\n"
    "Start.ini, connects to BRIGHTLEA_LOBBY, sends a fixed script of messages and writes every\n"
    "packet it receives to received.log (sender|recipient|type|payload in hex).\n"
    "RAVELIN_PROBE_ROLES=\"Name=role,...\" gives single players another script: quit, garbage, final,\n"
    "slow (waits RAVELIN_PROBE_WAIT_MS before its script).\n";

// Sends the reports a game client sends at the end of a match and leaves without reading: the
// lobby must still receive all of them.
int SendFinalReportsAndQuit(shell::LobbyLink& link, const ProbeSeat& seat, uint8_t slot) {
    std::vector<platform::PollEntry> wait = {{link.socket.Fd()}};
    platform::PollFds(wait, 5000);  // something from the lobby now waits unread
    shell::SendHoleReport(link, 1, static_cast<uint8_t>(slot + 3));
    shell::FinalScore scores[4];
    for (size_t i = 0; i < seat.players.size() && i < 4; ++i) {
        std::snprintf(scores[i].name, sizeof scores[i].name, "%s", seat.players[i].c_str());
        scores[i].present = 1;
        scores[i].totalStrokes = static_cast<uint16_t>(i + 3);
    }
    shell::SendFinalScores(link, static_cast<uint8_t>(seat.players.size()), scores);
    shell::SendGameEnd(link);
    return 0;
}

// What the probe has received: every packet logged, the players it still waits for.
struct ProbeInbox {
    std::ofstream log;
    std::set<std::string> waitingFor;
    bool closed = false;
};

void Receive(shell::LobbyLink& link, ProbeInbox& inbox, uint64_t nowMs) {
    shell::ServiceLobbyLink(link, nowMs);  // sends what the socket could not take yet
    link.socket.ReceivePending([&](const uint8_t* data, size_t size) {
        shell::LobbyHeader h;
        if (!shell::ReadLobbyHeader(data, size, h)) {
            inbox.log << "malformed" << std::endl;
            return;
        }
        inbox.log << h.sender << '|' << h.recipient << '|' << h.type << '|'
                  << Hex(data + shell::kLobbyHeaderSize, h.payloadLength) << std::endl;  // kept if stopped
        if (h.type == shell::kMsgGameEnd) {
            inbox.waitingFor.erase(h.sender);
        } else if (h.type == shell::kMsgPlayerLeft) {
            inbox.waitingFor.erase(h.recipient);
        } else if (h.type == shell::kMsgCloseMatch) {
            inbox.closed = true;
        }
        shell::LobbyReceive(link, data, size);
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        const bool help = std::string(argv[1]) == "--help";
        std::fputs(kHelp, help ? stdout : stderr);
        return help ? 0 : 2;
    }
    const ProbeSeat seat = ReadSeat();
    if (static_cast<size_t>(seat.slot) >= seat.players.size() && !seat.observer) {
        std::fprintf(stderr, "probe: no seat in Start.ini\n");
        return 6;
    }
    const std::string name = seat.observer ? seat.observerName : seat.players.at(seat.slot);
    shell::LobbyLink link;
    shell::OpenLobbyLink(link, platform::LobbySocketPath());
    shell::SetLobbyIdentity(link, name.c_str(), seat.observer);
    if (link.mode != shell::LobbyMode::kConnected) {
        std::fprintf(stderr, "probe %s: no lobby\n", name.c_str());
        return 4;
    }
    const std::string role = RoleOf(name);
    if (role == "quit") {
        shell::SendChat(link, ("bye from " + name).c_str());
        return 0;
    }
    const uint8_t slot = static_cast<uint8_t>(seat.slot);
    if (role == "final") {
        return SendFinalReportsAndQuit(link, seat, slot);
    }
    ProbeInbox inbox{std::ofstream("received.log"), {seat.players.begin(), seat.players.end()}};
    const platform::GameClock clock = platform::GameClock::RealUnscaled();
    if (role == "slow") {
        const char* wait = std::getenv("RAVELIN_PROBE_WAIT_MS");
        const auto until = std::chrono::steady_clock::now() +
                           std::chrono::milliseconds(wait == nullptr ? 5000 : std::atoi(wait));
        while (std::chrono::steady_clock::now() < until && link.socket.IsOpen()) {
            Receive(link, inbox, clock.NowMs());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    if (role == "garbage") {
        SendGarbage(link);
    }
    for (int i = 0; i < kRounds; ++i) {
        shell::SendChat(link, (name + " " + std::to_string(i)).c_str());
        shell::SendShooterReady(link, slot);
    }
    if (seat.players.size() > 1 && !seat.observer) {
        shell::SendSnapshot(link, seat.players[(seat.slot + 1) % seat.players.size()].c_str(),
                            shell::GameSnapshot{});
    }
    shell::SendHoleReport(link, 1, static_cast<uint8_t>(slot + 3));
    shell::SendGameEnd(link);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!inbox.waitingFor.empty() && !inbox.closed && link.socket.IsOpen()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return 3;
        }
        Receive(link, inbox, clock.NowMs());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const bool closed = inbox.closed;
    const std::set<std::string>& waitingFor = inbox.waitingFor;
    if (closed) {
        shell::SendGameEnd(link);
    }
    shell::FinishLobbyLink(link);
    return waitingFor.empty() || closed ? 0 : 5;
}
