#include "tools/ravelin/relay.h"

#include <cstring>

#include "game/shell/lobby_packet.h"
#include "tools/ravelin/report_json.h"

namespace tools {

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

void RelayPacket(Relay& relay, RelayClient& from, const uint8_t* data, size_t size, std::ostream& reports) {
    shell::LobbyHeader header;
    if (!shell::ReadLobbyHeader(data, size, header)) {
        ++relay.droppedMalformed;
        return;
    }
    if (header.type == shell::kMsgFinalScores) {
        from.sentFinalScores = true;
    }
    if (const auto report = ReportJson(data, size)) {
        reports << *report << '\n' << std::flush;
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
    client.socket.Close();
    if (!client.seat.observer && !client.sentFinalScores) {
        SendToAll(relay, LobbyMessage(shell::kMsgPlayerLeft, "", client.seat.name));
    }
}

void FlushOutboxes(Relay& relay) {
    for (RelayClient& client : relay.clients) {
        while (!client.gone && client.socket.IsOpen() && !client.outbox.empty()) {
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
        if (!client.gone && client.outboxBytes > kOutboxLimitBytes) {
            ClientLeft(relay, client);
        }
    }
}

RelayClient* FirstPlayer(Relay& relay) {
    for (RelayClient& client : relay.clients) {
        if (!client.gone && !client.seat.observer) {
            return &client;
        }
    }
    return nullptr;
}

}  // namespace tools
