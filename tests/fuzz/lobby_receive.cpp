// Feeds arbitrary bytes to the client's receive step and reads whatever it queued the way the
// frame tick would, chat lines included.

#include <cstddef>
#include <cstdint>
#include <string>

#include "game/shell/chat/chat_history.h"
#include "game/shell/lobby/lobby_link.h"
#include "game/shell/lobby/lobby_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    shell::LobbyLink link;
    shell::LobbyReceive(link, data, size);
    shell::LobbyPacket packet;
    while (shell::TakeGameMessage(link, false, packet)) {
        switch (packet.type) {
            case shell::kMsgTurnStart:
            case shell::kMsgShotSetup:
            case shell::kMsgShot:
            case shell::kMsgShotEnd:
                (void)shell::MessageShot(packet);
                break;
            case shell::kMsgSnapshot:
                (void)shell::SnapshotIndicesValid(shell::MessageSnapshot(packet));
                break;
            case shell::kMsgPin:
                (void)shell::MessagePin(packet);
                break;
            case shell::kMsgWind:
                (void)shell::MessageWind(packet);
                break;
            case shell::kMsgShooterReady:
            case shell::kMsgNextHole:
            case shell::kMsgTimeOut:
                (void)shell::MessageSlot(packet);
                break;
            default:
                (void)shell::PacketText(packet);
                break;
        }
    }
    // Chat lines go into a history, as double-byte text or not.
    shell::ChatHistory history;
    for (const shell::LobbyPacket& chat : link.chatQueue) {
        const std::string text = shell::PacketText(chat);
        shell::AddChatLine(history, chat.sender, text.c_str(), shell::ChatKind::kChat, 0, (size & 1) != 0);
    }
    return 0;
}
