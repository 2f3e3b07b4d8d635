#include "game/shell/lobby/lobby_link_watch.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace shell {

namespace {

void StartReconnecting(LobbyLink& link) {
    link.mode = LobbyMode::kReconnecting;
    link.socket.Close();
    link.brokenSinceMs = link.nowMs;
    link.nextConnectMs = link.nowMs;
    link.awaitingAnswer = false;
    link.stallReported = false;
    PostLinkNotice(link, kNoticeLobbyBroken);
}

void TryReconnecting(LobbyLink& link) {
    if (link.nowMs - link.brokenSinceMs >= kLobbyReconnectForMs) {
        LoseLobby(link, "the connection to the lobby broke and the lobby did not come back");
        return;
    }
    if (static_cast<int32_t>(link.nowMs - link.nextConnectMs) < 0) {
        return;
    }
    link.nextConnectMs = link.nowMs + kLobbyReconnectEveryMs;
    platform::LobbySocket socket = platform::LobbySocket::Connect(link.socketPath);
    if (!socket.IsOpen()) {
        return;
    }
    link.socket = std::move(socket);
    link.mode = LobbyMode::kConnected;
    PostLinkNotice(link, kNoticeLobbyBack);
    if (!link.outbox.empty()) {
        AwaitLobbyAnswer(link);
    }
    FlushLobbyOutbox(link);
}

void WatchAnswers(LobbyLink& link) {
    if (!link.awaitingAnswer) {
        return;
    }
    const uint32_t waited = link.nowMs - link.awaitingSinceMs;
    if (waited >= kLobbyGiveUpMs) {
        LoseLobby(link,
                  "the lobby has not answered for " + std::to_string(kLobbyGiveUpMs / 1000) + " seconds");
    } else if (waited >= kLobbyStallNoticeMs && !link.stallReported) {
        link.stallReported = true;
        PostLinkNotice(link, kNoticeLobbyStalled);
    }
}

}  // namespace

void PostLinkNotice(LobbyLink& link, const std::string& text) {
    std::fprintf(stderr, "Brightlea: %s\n", text.c_str());
    link.notices.push_back(text);
    std::vector<uint8_t> payload(4 + text.size() + 2, 0);
    payload[0] = static_cast<uint8_t>(kMsgSystemText);
    std::memcpy(payload.data() + 4, text.data(), text.size());
    const std::vector<uint8_t> packet =
        BuildLobbyPacket("", "", payload.data(), static_cast<uint32_t>(payload.size()));
    LobbyReceive(link, packet.data(), packet.size());
}

void LoseLobby(LobbyLink& link, const std::string& reason) {
    if (link.mode == LobbyMode::kLost) {
        return;
    }
    link.mode = LobbyMode::kLost;
    link.lostReason = reason;
    link.socket.Close();
    link.outbox.clear();
    link.outboxBytes = 0;
    PostLinkNotice(link, "The game ends: " + reason + ".");
}

void AwaitLobbyAnswer(LobbyLink& link) {
    if (!link.awaitingAnswer) {
        link.awaitingAnswer = true;
        link.awaitingSinceMs = link.nowMs;
    }
}

void LobbyAnswered(LobbyLink& link) {
    link.awaitingAnswer = false;
    if (link.stallReported) {
        link.stallReported = false;
        PostLinkNotice(link, kNoticeLobbyAnswers);
    }
}

void ServiceLobbyLink(LobbyLink& link, uint32_t nowMs) {
    link.nowMs = nowMs;
    switch (link.mode) {
        case LobbyMode::kAlone:
        case LobbyMode::kLost:
            return;
        case LobbyMode::kReconnecting:
            TryReconnecting(link);
            return;
        case LobbyMode::kConnected:
            break;
    }
    if (!link.socket.IsOpen()) {  // the end of the stream was read: the lobby closed its side
        StartReconnecting(link);
        TryReconnecting(link);
        return;
    }
    FlushLobbyOutbox(link);
    WatchAnswers(link);
}

void FinishLobbyLink(LobbyLink& link, int waitMs) {
    if (link.mode != LobbyMode::kConnected) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    auto left = [&deadline] {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        return ms.count() > 0 ? static_cast<int>(ms.count()) : 0;
    };
    while (!link.outbox.empty() && link.socket.IsOpen() && left() > 0) {
        const std::vector<uint8_t>& packet = link.outbox.front();
        if (!link.socket.Send(packet.data(), packet.size(), left())) {
            break;
        }
        link.outboxBytes -= packet.size();
        link.outbox.pop_front();
    }
    link.socket.Finish([](const uint8_t*, size_t) {}, left());
    link.mode = LobbyMode::kLost;
    link.lostReason = "the game has ended";
}

}  // namespace shell
