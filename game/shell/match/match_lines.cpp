#include "game/shell/match/match_lines.h"

#include <cstring>

#include "game/shell/chat_display.h"
#include "game/shell/client.h"
#include "game/shell/lobby_messages.h"

namespace shell {

namespace {

void ShowLocally(Client& client, uint32_t type, const char* text) {
    LobbyPacket packet;
    std::memcpy(packet.sender, client.lobby.localName, sizeof(packet.sender));
    packet.type = type;
    packet.body.assign(text, text + std::strlen(text) + 1);
    ShowChatMessage(packet);
}

}  // namespace

GameText MatchText(const Client& client, int index, const char* placeholder, const char* value) {
    const char* text = index >= 0 && index < kGameStringCount ? client.config.strings.text[index] : "";
    return ReplacePlaceholder(text, placeholder == nullptr ? "" : placeholder, value == nullptr ? "" : value);
}

void ShowSystemLine(Client& client, const char* text) {
    ShowLocally(client, kMsgSystemText, text);
}

void ShowAnnouncementLine(Client& client, const char* text) {
    ShowLocally(client, kMsgQuietNotice, text);
}

void AnnounceToAll(Client& client, const char* text) {
    SendNotice(client.lobby, text);
}

const char* SlotName(const Client& client, int slot) {
    return slot >= 0 && slot < kPlayerSlots ? client.config.players[slot].name : "";
}

}  // namespace shell
