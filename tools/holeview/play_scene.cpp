#include "tools/holeview/play_scene.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "tools/toolkit/code_page.h"

namespace holeview {
namespace {

struct Sample {
    const char* name;
    int level;
    int balance;
    int toPar;
};

constexpr Sample kSamples[4] = {
    {"Ann", 12, 1500, -2}, {"Bob", 5, 820, 1}, {"Cho", 17, 2400, 0}, {"Dee", 9, 990, 3}};

// Texts per language (UTF-8 here; converted to the language's code page, as the game keeps them).
struct LanguageTexts {
    const char* chat[3];
    const char* slope[2];
    const char* macros[8];
};

const LanguageTexts& TextsFor(const std::string& language) {
    static const LanguageTexts english{{"Ann: nice shot!", "Bob: watch the wind", "Cho joined the match"},
                                       {"Side slope", "Up/down"},
                                       {"Nice shot!", "Good luck!", "Thank you.", "Sorry!", "Well played.",
                                        "Hurry up, please.", "One more hole!", "Bye!"}};
    static const LanguageTexts korean{{"Ann: 나이스 샷!", "Bob: 바람 조심", "Cho 님이 들어왔습니다"},
                                      {"좌우 경사", "상하 경사"},
                                      {"나이스 샷!", "행운을!", "감사합니다.", "미안합니다!", "잘 했어요.",
                                       "서둘러 주세요.", "한 홀 더!", "안녕!"}};
    static const LanguageTexts japanese{{"Ann: ナイスショット!", "Bob: 風に注意", "Cho さんが参加しました"},
                                        {"左右の傾斜", "上下の傾斜"},
                                        {"ナイスショット!", "グッドラック!", "ありがとう。", "ごめん!",
                                         "お見事!", "急いでね。", "もう一ホール!", "またね!"}};
    if (language == "KOR") {
        return korean;
    }
    return language == "JPN" ? japanese : english;
}

}  // namespace

bool ParseChoice(int argc, char** argv, int first, SceneChoice& choice, std::string& error) {
    for (int i = first; i < argc; ++i) {
        const std::string_view flag = argv[i];
        if (flag == "--beginner") {
            choice.beginner = true;
            continue;
        }
        if (flag == "--macro-menu") {
            choice.macroMenu = true;
            continue;
        }
        if (flag == "--score-strip") {
            choice.scoreStrip = true;
            continue;
        }
        bool* setting = flag == "--near-longest" ? &choice.nearLongest
                        : flag == "--last-hole"  ? &choice.lastHole
                        : flag == "--extreme"    ? &choice.extreme
                        : flag == "--no-header"  ? &choice.noHeader
                                                 : nullptr;
        if (setting != nullptr) {
            *setting = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = std::string(flag) + " needs a value (or is unknown)";
            return false;
        }
        const char* value = argv[++i];
        if (flag == "--from") {
            choice.from = value;
        } else if (flag == "--language") {
            choice.language = value;
        } else if (flag == "--players") {
            choice.players = std::atoi(value);
        } else if (flag == "--club") {
            choice.club = std::atoi(value);
        } else if (flag == "--lie") {
            choice.lieClass = std::atoi(value);
        } else if (flag == "--menu") {
            choice.menuClub = std::atoi(value);
        } else if (flag == "--gauge") {
            choice.gauge = std::atoi(value);
        } else if (flag == "--hover") {
            choice.hover = value;
        } else if (flag == "--banner") {
            choice.banner = value;
        } else if (flag == "--board") {
            choice.board = value;
        } else if (flag == "--par") {
            choice.par = std::atoi(value);
        } else if (flag == "--strokes") {
            choice.strokes = std::atoi(value);
        } else if (flag == "--shot-yards") {
            choice.shotYards = static_cast<float>(std::atof(value));
        } else if (flag == "--played-from") {
            choice.fromSurface = value;
        } else if (flag == "--wind") {
            if (std::sscanf(value, "%f,%f", &choice.windDirection, &choice.windSpeed) != 2) {
                error = "--wind takes DIRECTION,SPEED";
                return false;
            }
        } else {
            error = "unknown option " + std::string(flag);
            return false;
        }
    }
    if (choice.players < 1 || choice.players > 4 || choice.club < 0 || choice.club > 13 ||
        choice.lieClass < 0 || choice.lieClass > 7 || choice.gauge > 120 || choice.menuClub > 13) {
        error = "a value is out of range (players 1-4, club 0-13, lie 0-7, gauge 0-120)";
        return false;
    }
    return true;
}

void FillSampleView(const SceneChoice& choice, screens::HudView& view) {
    const LanguageTexts& utf8 = TextsFor(choice.language);
    // The converted texts live as long as the program: the view only points at them.
    static std::vector<std::string> kept;
    auto convert = [&](const char* text) {
        std::string out;
        std::string error;
        if (!tools::ConvertForLanguage(text, choice.language, out, error)) {
            out = text;
        }
        kept.push_back(out);
        return kept.back().c_str();
    };
    kept.clear();
    kept.reserve(16);
    LanguageTexts texts{};
    for (int i = 0; i < 3; ++i) {
        texts.chat[i] = convert(utf8.chat[i]);
    }
    for (int i = 0; i < 2; ++i) {
        texts.slope[i] = convert(utf8.slope[i]);
    }
    for (int i = 0; i < 8; ++i) {
        texts.macros[i] = convert(utf8.macros[i]);
    }
    view.language = choice.language == "KOR" ? "KOR" : choice.language == "JPN" ? "JPN" : "ENG";
    view.localTurn = true;
    view.turnActive = true;
    view.beginner = choice.beginner;
    view.beforeFirstShot = choice.beginner;
    view.swinging = choice.gauge >= 0;
    view.club = choice.club;
    view.lieClass = choice.lieClass;
    view.onGreen = choice.lieClass == screens::kLiePutting;
    view.lieNameText = view.onGreen ? "Green" : choice.lieClass == 0 ? "Tee Shot" : "Fairway";
    view.biteOffered = choice.club >= 7 && choice.club <= 12;
    view.powerShotShown = true;
    view.powerShotAllowance = 3;
    view.gaugeHint = choice.beginner ? 6 : 0;
    view.windDirection = choice.windDirection;
    view.windSpeed = choice.windSpeed;
    view.playerCount = choice.players;
    for (int slot = 0; slot < choice.players; ++slot) {
        screens::HudPlayerBar& bar = view.players[slot];
        bar.present = true;
        std::snprintf(bar.name, sizeof bar.name, "%s", kSamples[slot].name);
        bar.colourIndex = slot;
        bar.level = kSamples[slot].level;
        bar.balance = kSamples[slot].balance;
        bar.scoreToPar = kSamples[slot].toPar;
        bar.strokes = slot == 0 ? 1 : 2;
        bar.ready = slot != 2;
        bar.gender = slot % 2 == 1;
        bar.character = (slot * 3) % 8;
    }
    view.courseName = "Brightlea Links";
    view.par = 4;
    view.strokeNumber = 1;
    view.holesPlayed = 11;
    for (int hole = 0; hole < 11; ++hole) {
        view.holePars[hole] = 3 + hole % 3;
        view.holeStrokes[hole] = view.holePars[hole] + (hole % 4 == 0 ? 1 : hole % 5 == 0 ? -1 : 0);
    }
    view.showSlopes = true;
    view.slopeAcross = 6;
    view.slopeAlong = -4;
    view.slopeTitles[0] = texts.slope[0];
    view.slopeTitles[1] = texts.slope[1];
    for (int i = 0; i < 3; ++i) {
        view.chat[screens::kHudChatLines - 3 + i] = {texts.chat[i], i == 2 ? 0x80FF80u : 0xFFFFFFu};
    }
    for (int row = 0; row < screens::kHudMacroRows; ++row) {
        view.macros[row] = texts.macros[row];
    }
    view.nowMs = 1000;
}

screens::HudControl HoverControl(const std::string& name) {
    using screens::HudControl;
    static const struct {
        const char* name;
        HudControl control;
    } names[] = {{"shot", HudControl::Shot},
                 {"club", HudControl::Club},
                 {"golfer", HudControl::GolferToggle},
                 {"grid", HudControl::GridToggle},
                 {"chat", HudControl::Chat},
                 {"power", HudControl::PowerShot},
                 {"bite", HudControl::Bite},
                 {"backspin", HudControl::BackspinUp},
                 {"sidespin", HudControl::SidespinRight},
                 {"give", HudControl::Give}};
    for (const auto& entry : names) {
        if (name == entry.name) {
            return entry.control;
        }
    }
    return HudControl::None;
}

}  // namespace holeview
