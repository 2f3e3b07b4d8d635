#pragma once
// Watching the lobby: a lobby that stops answering is waited for and the player is told; a broken
// connection is made again while the lobby comes back within a set time; a lobby that is really
// gone ends the link with a reason; and at the end of the game the connection is closed without
// losing what we sent. Times are real milliseconds from the caller's clock.

#include <cstdint>
#include <string>

#include "game/shell/lobby/lobby_link.h"

namespace shell {

// Nothing heard from the lobby this long after we sent something: the player is told.
inline constexpr uint32_t kLobbyStallNoticeMs = 5000;
// Nothing heard this long: the lobby is taken to be gone.
inline constexpr uint32_t kLobbyGiveUpMs = 60000;
// A broken connection is tried again this often, for this long.
inline constexpr uint32_t kLobbyReconnectEveryMs = 1000;
inline constexpr uint32_t kLobbyReconnectForMs = 30000;
// How long the game waits at its end for the lobby to take its last packets.
inline constexpr int kLobbyFinishMs = 2000;

// The texts the player is shown (as system lines) and standard error gets.
inline constexpr const char* kNoticeLobbyStalled = "The lobby is not answering; waiting for it.";
inline constexpr const char* kNoticeLobbyAnswers = "The lobby is answering again.";
inline constexpr const char* kNoticeLobbyBroken = "The connection to the lobby broke; connecting again.";
inline constexpr const char* kNoticeLobbyBack = "Connected to the lobby again.";

// Sends the outbox on, notices a lobby that stopped answering or went away, and connects again.
// Called often (every pass of the main loop).
void ServiceLobbyLink(LobbyLink& link, uint32_t nowMs);

// Tells the player something about the link: a system line (a type-82 packet from nobody, shown by
// the chat path like the lobby's own system lines) and the same text on standard error.
void PostLinkNotice(LobbyLink& link, const std::string& text);

// The lobby is gone for good: the link drops everything and remembers why.
void LoseLobby(LobbyLink& link, const std::string& reason);

// Called by the link itself: we sent something the lobby will relay back to us.
void AwaitLobbyAnswer(LobbyLink& link);
// Called by the link itself: the lobby sent something.
void LobbyAnswered(LobbyLink& link);

// At the end of the game: hands the lobby what waits in the outbox, tells it nothing more comes
// and waits (at most waitMs) until it has read everything and closed its side.
void FinishLobbyLink(LobbyLink& link, int waitMs = kLobbyFinishMs);

}  // namespace shell
