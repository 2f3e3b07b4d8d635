#include "game/shell/match/state_log.h"

#include <cstdio>
#include <cstring>

#include "game/shell/client.h"

namespace shell {

namespace {

uint32_t Bits(float v) {
    uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof(bits));
    return bits;
}

void AppendPoint(std::string& line, platform::Vec3 p) {
    char text[40];
    std::snprintf(text, sizeof(text), "%08x,%08x,%08x", Bits(p.x), Bits(p.y), Bits(p.z));
    line += text;
}

void AppendPlayers(std::string& line, const rules::MatchState& match) {
    for (int p = 0; p < match.options.playerCount && p < rules::kMaxPlayers; ++p) {
        const rules::PlayerRecord& r = match.rules.players[p];
        char text[160];
        std::snprintf(text, sizeof(text), " p%d=", p);
        line += text;
        AppendPoint(line, r.ballPos);
        std::snprintf(text, sizeof(text), ",lie=%u,strokes=%u,holed=%d,balls=%d,total=%d,over=%d,points=%d",
                      static_cast<unsigned>(r.surface), static_cast<unsigned>(r.strokes),
                      static_cast<int>(r.finishedHole), static_cast<int>(r.balance),
                      static_cast<int>(r.totalStrokes), static_cast<int>(r.overPar),
                      static_cast<int>(r.points));
        line += text;
    }
}

void Append(const std::string& path, const std::string& line) {
    if (path.empty()) {
        return;
    }
    if (std::FILE* f = std::fopen(path.c_str(), "a")) {
        std::fputs((line + "\n").c_str(), f);
        std::fclose(f);
    }
}

}  // namespace

std::string ShotLogLine(const rules::MatchState& match, platform::Vec3 replayRest) {
    char text[96];
    std::snprintf(text, sizeof(text),
                  "shot hole=%d count=%d shooter=%d replay=", static_cast<int>(match.currentHole),
                  static_cast<int>(match.rules.turnCounter), static_cast<int>(match.shot.player));
    std::string line = text;
    AppendPoint(line, replayRest);
    AppendPlayers(line, match);
    return line;
}

std::string HoleEndLogLine(const rules::MatchState& match) {
    char text[96];
    std::snprintf(text, sizeof(text), "hole-end hole=%d shots=%d pot=%d", static_cast<int>(match.currentHole),
                  static_cast<int>(match.rules.turnCounter), static_cast<int>(match.rules.pot));
    std::string line = text;
    AppendPlayers(line, match);
    return line;
}

void WriteShotLine(Client& client) {
    Append(client.matchExtras.stateLogPath, ShotLogLine(client.match, client.replay.simulatedRest));
}

void WriteHoleEndLine(Client& client) {
    Append(client.matchExtras.stateLogPath, HoleEndLogLine(client.match));
}

}  // namespace shell
