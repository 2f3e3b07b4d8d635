#pragma once
// What the client reads about its match and its language: the option file, the match file written
// by the lobby, the localised texts, the chat word list, the swing timing and the current hole's
// settings. One LaunchConfig per running client.

#include <cstdint>
#include <string>
#include <vector>

#include "game/core/game_paths.h"

namespace shell {

inline constexpr int kPlayerSlots = 4;
inline constexpr int kPlayerNameCapacity = 13;
inline constexpr int kLanguageCapacity = 12;
inline constexpr int kGameStringCount = 42;
inline constexpr int kGameStringCapacity = 255;
inline constexpr int kQuickChatCount = 8;
inline constexpr int kQuickChatCapacity = 49;
inline constexpr int kSwingSexes = 2;
inline constexpr int kSwingCharacterTypes = 8;
inline constexpr int kSwingKinds = 5;
inline constexpr int kHoleNameCapacity = 20;
inline constexpr int kParTableSize = 19;  // hole numbers 0-18
inline constexpr int kFaceCapacity = 60;

// "Option.ini".
struct OptionSettings {
    char language[kLanguageCapacity] = {};  // "KOR", "JPN", "ENG"; empty until read
    uint8_t hardware3D = 1;                 // ACC3DOPT; on unless the file says otherwise
};

// The match, from "Start.ini"; zero or empty where the file has no line for a field.
struct MatchConfig {
    char gameName[44] = {};
    int32_t courseCode = 0;
    char courseName[32] = {};
    int32_t startHole = 0;
    int32_t endHole = 0;
    int32_t gameLevel = 0;
    int32_t gameMode = 0;
    uint8_t teamPlay = 0;
    uint8_t optNear = 0;
    uint8_t optLongest = 0;
    uint8_t optGive = 0;
    int32_t betting = 0;
    uint8_t guest = 0;
    uint8_t freeGame = 0;
    int32_t gameCount = 0;
    uint8_t observersAllowed = 0;
    uint8_t observerChat = 0;
    int32_t maxPlayers = 0;
    int32_t localSlot = 0;
    uint8_t localIsObserver = 0;
    char observerName[16] = {};
    uint8_t waitingForSnapshot = 1;  // set until a file says otherwise
};

// One player slot as the lobby describes it in "Start.ini".
struct PlayerInfo {
    char name[kPlayerNameCapacity] = {};
    uint8_t level = 0;
    uint8_t colour = 0;
    uint8_t characterType = 0;  // 0-7
    uint8_t sex = 0;            // swing-timing and picture row: 1 when the file says 0, else 0
    int32_t balls = 0;
};

// The localised message texts of "GameString.ini", by index.
struct GameStrings {
    char text[kGameStringCount][kGameStringCapacity] = {};
};

// The quick-chat texts of "ChatMessage.ini", in the order of the keys F1 to F8.
struct QuickChat {
    char text[kQuickChatCount][kQuickChatCapacity] = {};
};

// Lowercase words; a chat line containing one of them is not sent.
struct WordList {
    std::vector<std::string> words;
};

// Replay steps the golfer's swing runs before the ball moves, by sex flag, character type and swing
// kind, from "GameInfo.ini".
struct SwingTiming {
    int32_t steps[kSwingSexes][kSwingCharacterTypes][kSwingKinds] = {};
};

// The settings of the current hole, from its "Hole.ini". Points are (x, z) on the ground.
struct HoleSettings {
    char name[kHoleNameCapacity] = {};
    uint16_t length = 0;
    char lengthText[8] = {};
    float lengthYards = 0;
    float tee[2] = {};
    float defaultAim[2] = {};
    float pin[2] = {};
    uint8_t par = 0;
};

struct LaunchConfig {
    OptionSettings options;
    MatchConfig match;
    PlayerInfo players[kPlayerSlots];
    GameStrings strings;
    QuickChat quickChat;
    WordList wordList;
    SwingTiming swingTiming;
    HoleSettings hole;
    uint8_t parByHole[kParTableSize] = {};
    int32_t skyCount = 0;
    // In team play the slots that shot last for team 0 and team 1; set to 1 and 3 so that slots 0
    // and 2 tee off first.
    int32_t teamLastShooter[2] = {};
    // Font faces chosen for the language: the HUD's texts, and the fixed-pitch face of English.
    char hudFace[kFaceCapacity] = "Arial";
    char fixedFace[kFaceCapacity] = {};
    // The background loop the current hole asks for ("Sound/..."); empty: the loop there is.
    char backgroundLoop[core::kPathCapacity] = {};
};

}  // namespace shell
