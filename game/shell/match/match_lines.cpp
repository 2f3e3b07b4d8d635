#include "game/shell/match/match_lines.h"

#include <cstring>

#include "game/shell/chat/chat_display.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"

namespace shell {

GameText MatchText(const Client& client, int index, const char* placeholder, const char* value) {
    const char* text = index >= 0 && index < kGameStringCount ? client.config.strings.text[index] : "";
    return ReplacePlaceholder(text, placeholder == nullptr ? "" : placeholder, value == nullptr ? "" : value);
}

void ShowSystemLine(Client& client, const char* text) {
    AddChatLineNow(client, nullptr, text, ChatKind::kSystem);
}

void ShowAnnouncementLine(Client& client, const char* text) {
    AddChatLineNow(client, nullptr, text, ChatKind::kAnnouncement);
}

void AnnounceToAll(Client& client, const char* text) {
    SendNotice(client.lobby, text);
}

const char* SlotName(const Client& client, int slot) {
    return slot >= 0 && slot < kPlayerSlots ? client.config.players[slot].name : "";
}

int SlotByName(const Client& client, const char* name) {
    for (int p = 0; p < client.match.options.playerCount && p < kPlayerSlots; ++p) {
        if (std::strncmp(client.config.players[p].name, name, kPlayerNameCapacity) == 0) {
            return p;
        }
    }
    return rules::kNoPlayer;
}

}  // namespace shell
