#include "game/shell/launch/launch_files.h"

#include <cstdio>
#include <cstring>

#include "game/shell/launch/text_lines.h"

namespace shell {

namespace {

constexpr size_t kLineCapacity = 256;  // lines of at most 255 characters

using Players = PlayerInfo[kPlayerSlots];

uint8_t Flag(const char* value) {
    return ReadDecimal(value) == 1 ? 1 : 0;
}

struct StartKey {
    const char* key;
    void (*apply)(const StartTokens& t, MatchConfig& m, Players& p);
};

// A player line's slot, or nullptr when the slot is outside the table.
PlayerInfo* Slot(const StartTokens& t, Players& p) {
    int32_t slot = ReadDecimal(t.token[1]);
    return (slot >= 0 && slot < kPlayerSlots) ? &p[slot] : nullptr;
}

#define MATCH_TEXT(KEY, FIELD)                                    \
    {                                                             \
        KEY, [](const StartTokens& t, MatchConfig& m, Players&) { \
            CopyCut(m.FIELD, sizeof(m.FIELD), t.token[1]);        \
        }                                                         \
    }
#define MATCH_NUMBER(KEY, FIELD)                                                                       \
    {                                                                                                  \
        KEY, [](const StartTokens& t, MatchConfig& m, Players&) { m.FIELD = ReadDecimal(t.token[1]); } \
    }
#define MATCH_FLAG(KEY, FIELD)                                                                  \
    {                                                                                           \
        KEY, [](const StartTokens& t, MatchConfig& m, Players&) { m.FIELD = Flag(t.token[1]); } \
    }
#define PLAYER_FIELD(KEY, STORE)                                        \
    {                                                                   \
        KEY, [](const StartTokens& t, MatchConfig&, Players& players) { \
            if (PlayerInfo* player = Slot(t, players)) {                \
                const char* value = t.token[2];                         \
                STORE;                                                  \
            }                                                           \
        }                                                               \
    }

// In the order the keys are compared; the first match applies.
const StartKey kStartKeys[] = {
    MATCH_TEXT("GAMENAME", gameName),
    MATCH_NUMBER("CLUBCODE", courseCode),
    MATCH_TEXT("CLUBNAME", courseName),
    MATCH_NUMBER("STARTHOLE", startHole),
    MATCH_NUMBER("ENDHOLE", endHole),
    MATCH_NUMBER("GAMELEVEL", gameLevel),
    MATCH_NUMBER("GAMEMODE", gameMode),
    MATCH_FLAG("TEAMPLAY", teamPlay),
    MATCH_FLAG("OPTNEAR", optNear),
    MATCH_FLAG("OPTLONGIST", optLongest),
    MATCH_FLAG("OPTGIVE", optGive),
    MATCH_NUMBER("BETTING", betting),
    MATCH_FLAG("GUEST", guest),
    MATCH_FLAG("FREE", freeGame),
    MATCH_NUMBER("GAMECOUNT", gameCount),
    MATCH_FLAG("OBSERVER", observersAllowed),
    MATCH_FLAG("OBCHAT", observerChat),
    MATCH_NUMBER("MAXPLAYERS", maxPlayers),
    MATCH_NUMBER("MYNO", localSlot),
    PLAYER_FIELD("PLAYERID", CopyCut(player->name, sizeof(player->name), value)),
    PLAYER_FIELD("PLAYERLEVEL", player->level = static_cast<uint8_t>(ReadDecimal(value))),
    PLAYER_FIELD("PLAYERCOLOR", player->colour = static_cast<uint8_t>(ReadDecimal(value))),
    PLAYER_FIELD("PLAYERTYPE",
                 {
                     int32_t type = ReadDecimal(value);
                     if (type >= 0 && type < kSwingCharacterTypes) {
                         player->characterType = static_cast<uint8_t>(type);
                     }
                 }),
    PLAYER_FIELD("PLAYERSEX", player->sex = ReadDecimal(value) == 0 ? 1 : 0),
    PLAYER_FIELD("PLAYERBALLS", player->balls = ReadDecimal(value)),
    MATCH_FLAG("MYOBSERVER", localIsObserver),
    MATCH_TEXT("OBSERVERID", observerName),
    MATCH_FLAG("OBSGAMEJOIN", waitingForSnapshot),
};

#undef MATCH_TEXT
#undef MATCH_NUMBER
#undef MATCH_FLAG
#undef PLAYER_FIELD

int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

float ReadF32(const uint8_t* p) {
    uint32_t bits = static_cast<uint32_t>(ReadI32(p));
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

// "kor" and "Kor" name the same language as "KOR", and the folders built from it ("Info/KOR") are
// the upper-case ones, which a case-sensitive file system finds only by that name.
char* UpperCased(char* text) {
    for (char* c = text; *c != '\0'; ++c) {
        if (*c >= 'a' && *c <= 'z') {
            *c = static_cast<char>(*c - 'a' + 'A');
        }
    }
    return text;
}

}  // namespace

void ParseOptionFile(std::span<const uint8_t> bytes, OptionSettings& options) {
    TextLines lines{bytes};
    char line[kLineCapacity];
    while (NextLine(lines, line, sizeof(line))) {
        char key[kLineCapacity] = {};
        char value[kLineCapacity] = {};
        if (std::sscanf(line, "%255s %255s", key, value) < 1) {
            continue;
        }
        if (std::strcmp(key, "LANGUAGE") == 0) {
            CopyCut(options.language, sizeof(options.language), UpperCased(value));
        } else if (std::strcmp(key, "ACC3DOPT") == 0) {
            options.hardware3D = ReadDecimal(value) == 1 ? 1 : 0;
        }
    }
}

void ApplyStartLine(const StartTokens& tokens, MatchConfig& match, PlayerInfo (&players)[kPlayerSlots]) {
    if (tokens.count == 0) {
        return;
    }
    for (const StartKey& key : kStartKeys) {
        if (std::strcmp(tokens.token[0], key.key) == 0) {
            key.apply(tokens, match, players);
            return;
        }
    }
}

void ParseStartFile(std::span<const uint8_t> bytes, MatchConfig& match, PlayerInfo (&players)[kPlayerSlots]) {
    TextLines lines{bytes};
    char line[kLineCapacity];
    while (NextLine(lines, line, sizeof(line))) {
        ApplyStartLine(TokenizeStartLine(line), match, players);
    }
}

bool ParseSwingTiming(std::span<const uint8_t> bytes, SwingTiming& timing) {
    constexpr size_t kHeaderSize = 28;
    constexpr size_t kRecordSize = 64;
    static constexpr char kMagic[] = "LARKSPUR GAME INFO\r\n";  // with its NUL: 21 bytes
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof(kMagic)) != 0) {
        return false;
    }
    for (size_t at = kHeaderSize; bytes.size() - at >= kRecordSize; at += kRecordSize) {
        const uint8_t* record = bytes.data() + at;
        if (std::memcmp(record, "FRAMECNT", 9) != 0) {
            continue;
        }
        int32_t sex = ReadI32(record + 16);
        int32_t type = ReadI32(record + 20);
        int32_t kind = ReadI32(record + 24);
        if (sex >= 0 && sex < kSwingSexes && type >= 0 && type < kSwingCharacterTypes && kind >= 0 &&
            kind < kSwingKinds) {
            timing.steps[sex][type][kind] = ReadI32(record + 28);
        }
    }
    return true;
}

int32_t SwingSteps(const SwingTiming& timing, int sex, int characterType, int swingKind) {
    if (sex < 0 || sex >= kSwingSexes || characterType < 0 || characterType >= kSwingCharacterTypes ||
        swingKind < 0 || swingKind >= kSwingKinds) {
        return 0;
    }
    return timing.steps[sex][characterType][swingKind];
}

bool ParseHoleSettings(std::span<const uint8_t> bytes, HoleSettings& hole) {
    constexpr size_t kFileSize = 58;
    if (bytes.size() < kFileSize || std::memcmp(bytes.data(), "FNH", 4) != 0) {
        return false;
    }
    const uint8_t* b = bytes.data();
    HoleSettings read;
    size_t nameLength = strnlen(reinterpret_cast<const char*>(b + 4), 17);
    std::memcpy(read.name, b + 4, nameLength);
    read.length = static_cast<uint16_t>(b[21] | b[22] << 8);
    std::snprintf(read.lengthText, sizeof(read.lengthText), "%u", static_cast<unsigned>(read.length));
    read.lengthYards = static_cast<float>(read.length);
    read.tee[0] = ReadF32(b + 23);
    read.tee[1] = ReadF32(b + 27);
    read.defaultAim[0] = ReadF32(b + 31);
    read.defaultAim[1] = ReadF32(b + 35);
    read.pin[0] = ReadF32(b + 39);
    read.pin[1] = ReadF32(b + 43);
    read.par = b[55];
    hole = read;
    return true;
}

const char* HoleBackgroundSound(int courseCode, int hole) {
    if (courseCode != 6) {
        return nullptr;
    }
    switch (hole) {
        case 0:
            return "Sound/SBack00.wav";
        case 1:
        case 3:
            return "Sound/Back.wav";
        case 2:
            return "Sound/SBack02.wav";
        case 4:
            return "Sound/SBack04.wav";
        case 5:
            return "Sound/SBack05.wav";
        default:
            return nullptr;
    }
}

}  // namespace shell
