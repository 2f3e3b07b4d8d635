#pragma once
// The match's game-string lines: shown to the local player as a system or announcement line, or
// announced to everyone through the lobby.

#include "game/shell/launch/game_strings.h"

namespace shell {

struct Client;

enum MatchStringIndex {
    kStringPenaltyCharge = 0,
    kStringPowerShotCharge = 1,
    kStringBiteInFreeGame = 2,
    kStringPowerShotInFreeGame = 3,
    kStringSideSpinInFreeGame = 5,
    kStringBackSpinInFreeGame = 6,
    kStringTimedOut = 7,
    kStringNoPowerShotsLeft = 8,
    kStringObserversWelcome = 9,
    kStringTimeWarning = 11,
    kStringBiteOn = 12,
    kStringBiteOff = 13,
    kStringPowerShotChosen = 14,
    kStringNearestWinner = 15,
    kStringLongestWinner = 16,
    kStringConcedeVote = 17,
    kStringPuttConceded = 18,
    kStringNotEnoughBalls = 23,
    kStringPowerShotsLeft = 24,
};

// The text of a game string with one placeholder filled.
GameText MatchText(const Client& client, int index, const char* placeholder = nullptr,
                   const char* value = nullptr);

void ShowSystemLine(Client& client, const char* text);
void ShowAnnouncementLine(Client& client, const char* text);
// Message 80: every client shows it with the notice sound.
void AnnounceToAll(Client& client, const char* text);

// The name of a player slot, empty for a slot outside the table.
const char* SlotName(const Client& client, int slot);
// The slot of the player with that name, kNoPlayer (-1) when nobody in the match has it.
int SlotByName(const Client& client, const char* name);

}  // namespace shell
