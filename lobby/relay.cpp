#include "lobby/relay.h"

#include <algorithm>
#include <cstring>
#include <ostream>

#include "game/shell/lobby/lobby_packet.h"
#include "lobby/log_text.h"
#include "lobby/report_json.h"

namespace lobby {

void SendToClient(RelayClient& client, const std::vector<uint8_t>& packet) {
    if (client.gone) {
        return;
    }
    client.outbox.push_back(packet);
    client.outboxBytes += packet.size();
}

void SendToAll(Relay& relay, const std::vector<uint8_t>& packet) {
    for (RelayClient& client : relay.clients) {
        SendToClient(client, packet);
    }
}

namespace {

void LogLine(Relay& relay, const std::string& text) {
    if (relay.log != nullptr) {
        *relay.log << "ravelin: " << LogSafe(text) << std::endl;
    }
}

void Refuse(Relay& relay, RelayClient& from, PacketFault fault, const shell::LobbyHeader& header) {
    ++relay.refused[static_cast<size_t>(fault)];
    if (fault == PacketFault::kHeader) {
        ++relay.droppedMalformed;
    }
    ++from.refused;
    if (from.refused > kLoggedRefusals) {
        return;
    }
    std::string text = "refused a packet from " + from.seat.name + ": " + PacketFaultName(fault);
    if (fault != PacketFault::kHeader) {
        text += " (type " + std::to_string(header.type) + ", sender " + QuotedName(header.sender) + ")";
    }
    if (from.refused == kLoggedRefusals) {
        text += "; more from " + from.seat.name + " are only counted";
    }
    LogLine(relay, text);
}

}  // namespace

void RelayPacket(Relay& relay, RelayClient& from, const uint8_t* data, size_t size, std::ostream& reports) {
    shell::LobbyHeader header;
    if (const PacketFault fault = CheckClientPacket(from.seat, relay.players, data, size, header);
        fault != PacketFault::kNone) {
        Refuse(relay, from, fault, header);
        return;
    }
    const bool playersScores = header.type == shell::kMsgFinalScores && !from.seat.observer;
    if (playersScores) {
        from.sentFinalScores = true;
    }
    if (const auto report = ReportJson(data, size, relay.codePage)) {
        reports << *report << '\n' << std::flush;
        // Every player's client sends the same scores: told once. An observer's are only reported,
        // never taken for the result.
        if (playersScores && !relay.finalScoresLogged) {
            relay.finalScoresLogged = true;
            LogLine(relay, "final scores (total strokes): " + FinalScoresText(*report));
        }
    }
    if (relay.turns && header.recipient[0] == '\0') {
        if (header.type == shell::kMsgTimeOut && relay.turns->IsStaleTimeOut()) {
            ++relay.droppedStale;  // the lobby timed this turn out already: it must not count twice
            return;
        }
        const uint8_t firstBodyByte = header.payloadLength > 4 ? data[shell::kLobbyHeaderSize + 4] : 0;
        relay.turns->Note(header.type, firstBodyByte, header.sender, "", relay.nowMs);
    }
    const std::vector<uint8_t> packet(data, data + size);
    if (header.recipient[0] == '\0') {
        SendToAll(relay, packet);
        ++relay.relayed;
        return;
    }
    for (RelayClient& client : relay.clients) {
        if (!client.gone && client.seat.name == header.recipient) {
            SendToClient(client, packet);
            ++relay.relayed;
            return;
        }
    }
    ++relay.droppedUnroutable;
}

std::vector<uint8_t> LobbyMessage(uint32_t type, const std::string& sender, const std::string& recipient,
                                  const std::string& text) {
    std::vector<uint8_t> payload(4 + (text.empty() ? 0 : text.size() + 1) + 1, 0);
    for (int i = 0; i < 4; ++i) {
        payload[i] = static_cast<uint8_t>(type >> (8 * i));
    }
    std::memcpy(payload.data() + 4, text.data(), text.size());
    return shell::BuildLobbyPacket(sender.c_str(), recipient.c_str(), payload.data(),
                                   static_cast<uint32_t>(payload.size()));
}

void ClientLeft(Relay& relay, RelayClient& client) {
    if (client.gone) {
        return;
    }
    client.gone = true;
    client.outbox.clear();
    client.outboxBytes = 0;
    if (!client.closing) {
        client.socket.Close();
    }
    client.listener = platform::LobbyListener();  // nobody connects to a seat that has left
    if (!client.seat.observer && !client.sentFinalScores) {
        SendToAll(relay, LobbyMessage(shell::kMsgPlayerLeft, "", client.seat.name));
        if (relay.turns) {
            relay.turns->Note(shell::kMsgPlayerLeft, 0, "", client.seat.name, relay.nowMs);
        }
    }
}

namespace {

// Takes the client out of the match with last packets that it gets a short while to read.
void LeaveWithLastWords(Relay& relay, RelayClient& client, const std::vector<std::vector<uint8_t>>& last) {
    client.closing = client.socket.IsOpen();
    client.closeByMs = relay.nowMs + kRemovalGraceMs;
    ClientLeft(relay, client);
    if (client.closing) {
        for (const auto& packet : last) {
            client.outbox.push_back(packet);
            client.outboxBytes += packet.size();
        }
    }
}

}  // namespace

void RemoveClient(Relay& relay, RelayClient& client, const std::string& reason,
                  const std::vector<std::pair<std::string, uint64_t>>& counts) {
    if (client.gone) {
        return;
    }
    if (relay.events != nullptr) {
        *relay.events << EventJson("removed", client.seat.name, reason, counts) << std::endl;
    }
    LogLine(relay, client.seat.name + " is taken out of the match: " + reason);
    LeaveWithLastWords(
        relay, client,
        {LobbyMessage(shell::kMsgSystemText, "", "", "The lobby took you out of the match: " + reason),
         LobbyMessage(shell::kMsgCloseMatch, "", "")});
}

void WatchTurns(Relay& relay) {
    if (!relay.turns) {
        return;
    }
    for (const TurnAction& action : relay.turns->Due(relay.nowMs)) {
        RelayClient* seat = nullptr;
        for (RelayClient& client : relay.clients) {
            if (!client.gone && !client.seat.observer && client.seat.name == action.name) {
                seat = &client;
            }
        }
        if (seat == nullptr) {
            continue;
        }
        if (action.kind == TurnAction::kTimeOut) {
            LogLine(relay, action.name + "'s turn is timed out by the lobby: his client did not act in time");
            SendToAll(relay,
                      LobbyMessage(shell::kMsgSystemText, "", "",
                                   action.name + " did not play in time: the lobby times the turn out."));
            const uint8_t payload[5] = {shell::kMsgTimeOut, 0, 0, 0, static_cast<uint8_t>(action.slot)};
            SendToAll(relay, shell::BuildLobbyPacket(action.name.c_str(), "", payload, sizeof payload));
            relay.turns->Note(shell::kMsgTimeOut, action.slot, action.name, "", relay.nowMs);
        } else {
            SendToAll(relay, LobbyMessage(shell::kMsgSystemText, "", "",
                                          action.name + " leaves the match: " + action.reason + "."));
            RemoveClient(relay, *seat, action.reason, {});
        }
    }
}

void EndObserversAfterPlayers(Relay& relay) {
    if (FirstPlayer(relay) != nullptr) {
        return;
    }
    for (RelayClient& client : relay.clients) {
        if (client.seat.observer && !client.gone) {
            LogLine(relay, client.seat.name + " stops watching: every player has ended");
            LeaveWithLastWords(relay, client, {LobbyMessage(shell::kMsgCloseMatch, "", "")});
        }
    }
}

void AcceptConnections(Relay& relay, RelayClient& client) {
    for (platform::LobbySocket incoming = client.listener.Accept(); incoming.IsOpen();
         incoming = client.listener.Accept()) {
        if (!client.socket.IsOpen()) {
            client.socket = std::move(incoming);
            continue;
        }
        const auto refusal = LobbyMessage(shell::kMsgSystemText, "", "",
                                          "This seat is taken: " + client.seat.name + " is connected.");
        incoming.TrySend(refusal.data(), refusal.size());
        if (relay.events != nullptr) {
            *relay.events << EventJson("refused", client.seat.name, "a second connection to the seat")
                          << std::endl;
        }
        LogLine(relay, "refused a second connection to the seat of " + client.seat.name);
    }
}

void ReadClient(Relay& relay, RelayClient& client, int maxPackets, std::ostream& reports) {
    if (client.gone || !client.socket.IsOpen()) {
        return;
    }
    SendAllowance& allowance = client.allowance;
    const int allowed = std::min(maxPackets, PacketsAllowed(allowance, relay.nowMs));
    if (allowed > 0) {
        client.socket.ReceivePending(
            [&](const uint8_t* data, size_t size) {
                ChargeAllowance(allowance, size);
                RelayPacket(relay, client, data, size, reports);
            },
            allowed);
    }
    // Held back only when its allowance, not this round's share of the reading, left packets waiting.
    NoteHeldBack(allowance,
                 (allowance.packets < 1.0 || allowance.bytes <= 0.0) && client.socket.HasPending());
    if (Floods(allowance)) {
        RemoveClient(relay, client, "flooding",
                     {{"packets", allowance.packetsSent},
                      {"bytes", allowance.bytesSent},
                      {"refused", client.refused}});
    }
}

void ReadRemainder(Relay& relay, RelayClient& client, std::ostream& reports) {
    if (client.gone) {
        return;
    }
    AcceptConnections(relay, client);
    client.socket.ReceivePending(
        [&](const uint8_t* data, size_t size) { RelayPacket(relay, client, data, size, reports); });
}

void FlushOutboxes(Relay& relay) {
    for (RelayClient& client : relay.clients) {
        if (client.gone && !client.closing) {
            continue;
        }
        while (client.socket.IsOpen() && !client.outbox.empty()) {
            const std::vector<uint8_t>& packet = client.outbox.front();
            const platform::SendResult result = client.socket.TrySend(packet.data(), packet.size());
            if (result == platform::SendResult::kWouldBlock) {
                break;
            }
            if (result == platform::SendResult::kClosed) {
                // The client has gone, but what it sent before is still read from its socket; it
                // leaves the match once the end of its stream is read.
                client.outbox.clear();
                client.outboxBytes = 0;
                break;
            }
            client.outboxBytes -= packet.size();
            client.outbox.pop_front();
        }
        if (client.closing && (client.outbox.empty() || relay.nowMs >= client.closeByMs)) {
            client.closing = false;
            client.socket.Close();
        } else if (!client.gone && client.outboxBytes > kOutboxLimitBytes) {
            RemoveClient(relay, client, "slow reader",
                         {{"queued_bytes", client.outboxBytes}, {"queued_packets", client.outbox.size()}});
        }
    }
}

std::string RelaySummary(const Relay& relay) {
    uint64_t empty = 0;
    uint64_t oversize = 0;
    for (const RelayClient& client : relay.clients) {
        empty += client.socket.Drops().empty;
        oversize += client.socket.Drops().oversize;
    }
    std::string text = std::to_string(relay.relayed) +
                       " packets relayed; dropped: " + std::to_string(relay.droppedUnroutable) +
                       " to nobody in the match, " + std::to_string(empty) + " empty, " +
                       std::to_string(oversize) + " over " +
                       std::to_string(platform::kLobbyMaxPacket / 1024) + " KiB";
    for (size_t f = static_cast<size_t>(PacketFault::kHeader); f < static_cast<size_t>(PacketFault::kCount);
         ++f) {
        text += ", " + std::to_string(relay.refused[f]) + " " + PacketFaultName(static_cast<PacketFault>(f));
    }
    return text;
}

RelayClient* FirstPlayer(Relay& relay) {
    for (RelayClient& client : relay.clients) {
        if (!client.gone && !client.seat.observer) {
            return &client;
        }
    }
    return nullptr;
}

}  // namespace lobby
