#include "lobby/remote_settings.h"

#include <nlohmann/json.hpp>

namespace lobby {

namespace {

using Json = nlohmann::json;

struct IntField {
    const char* key;
    int MatchSettings::*field;
    int low;
    int high;
};
constexpr IntField kIntFields[] = {
    {"course", &MatchSettings::course, 0, 99},       {"firstHole", &MatchSettings::firstHole, 0, 99},
    {"lastHole", &MatchSettings::lastHole, 0, 99},   {"gameMode", &MatchSettings::gameMode, 0, 2},
    {"level", &MatchSettings::level, 0, 2},          {"stake", &MatchSettings::stake, 0, 1000000},
    {"balls", &MatchSettings::balls, 0, 1000000000},
};

struct BoolField {
    const char* key;
    bool MatchSettings::*field;
};
constexpr BoolField kBoolFields[] = {
    {"teamPlay", &MatchSettings::teamPlay},           {"nearOption", &MatchSettings::nearOption},
    {"longestOption", &MatchSettings::longestOption}, {"giveOption", &MatchSettings::giveOption},
    {"freeGame", &MatchSettings::freeGame},           {"observerChat", &MatchSettings::observerChat},
};

struct TextField {
    const char* key;
    std::string MatchSettings::*field;
    size_t maxLength;
};
constexpr TextField kTextFields[] = {
    {"gameName", &MatchSettings::gameName, 64},
    {"courseName", &MatchSettings::courseName, 64},
    {"language", &MatchSettings::language, 3},
};

bool Fail(std::string& error, const std::string& what) {
    error = "the host's match settings are not usable: " + what;
    return false;
}

bool DecodeSeat(const Json& seat, const std::vector<std::string>& players, Seat& out, std::string& error) {
    if (!seat.is_object() || !seat.contains("name") || !seat["name"].is_string() ||
        !seat.contains("observer") || !seat["observer"].is_boolean() || !seat.contains("slot") ||
        !seat["slot"].is_number_integer()) {
        return Fail(error, "no seat");
    }
    out.name = seat["name"].get<std::string>();
    out.observer = seat["observer"].get<bool>();
    const auto slot = seat["slot"].get<int64_t>();
    out.joinsRunning = seat.contains("joinsRunning") && seat["joinsRunning"].is_boolean() &&
                       seat["joinsRunning"].get<bool>();
    if (!CheckSeatName(out.name, out.observer ? kMaxObserverName : kMaxPlayerName, "seat", error)) {
        return false;
    }
    if (out.observer) {
        out.slot = 0;
        return true;
    }
    if (slot < 0 || static_cast<size_t>(slot) >= players.size() || players[slot] != out.name) {
        return Fail(error, "the seat is not one of the players");
    }
    out.slot = static_cast<int>(slot);
    return true;
}

}  // namespace

std::string EncodeRemoteMatch(const RemoteMatch& remote) {
    Json json;
    for (const IntField& f : kIntFields) {
        json[f.key] = remote.match.*f.field;
    }
    for (const BoolField& f : kBoolFields) {
        json[f.key] = remote.match.*f.field;
    }
    for (const TextField& f : kTextFields) {
        json[f.key] = remote.match.*f.field;
    }
    json["players"] = remote.players;
    json["seat"] = {{"name", remote.seat.name},
                    {"observer", remote.seat.observer},
                    {"slot", remote.seat.slot},
                    {"joinsRunning", remote.seat.joinsRunning}};
    return json.dump();
}

bool DecodeRemoteMatch(const std::string& text, RemoteMatch& out, std::string& error) {
    const Json json = Json::parse(text, nullptr, false);
    if (!json.is_object()) {
        return Fail(error, "not a JSON object");
    }
    RemoteMatch remote;
    for (const IntField& f : kIntFields) {
        if (!json.contains(f.key) || !json[f.key].is_number_integer() || json[f.key].get<int64_t>() < f.low ||
            json[f.key].get<int64_t>() > f.high) {
            return Fail(error, std::string(f.key) + " is missing or out of range");
        }
        remote.match.*f.field = json[f.key].get<int>();
    }
    for (const BoolField& f : kBoolFields) {
        if (!json.contains(f.key) || !json[f.key].is_boolean()) {
            return Fail(error, std::string(f.key) + " is missing");
        }
        remote.match.*f.field = json[f.key].get<bool>();
    }
    for (const TextField& f : kTextFields) {
        if (!json.contains(f.key) || !json[f.key].is_string() ||
            json[f.key].get<std::string>().size() > f.maxLength ||
            !FitsStartFileQuotes(json[f.key].get<std::string>())) {
            return Fail(error, std::string(f.key) + " is missing or cannot be written");
        }
        remote.match.*f.field = json[f.key].get<std::string>();
    }
    if (!json.contains("players") || !json["players"].is_array() || json["players"].empty() ||
        json["players"].size() > 4) {
        return Fail(error, "a match has 1 to 4 players");
    }
    for (const Json& name : json["players"]) {
        if (!name.is_string() || !CheckSeatName(name.get<std::string>(), kMaxPlayerName, "player", error)) {
            return Fail(error, "a player name cannot be written");
        }
        remote.players.push_back(name.get<std::string>());
    }
    if (!json.contains("seat") || !DecodeSeat(json["seat"], remote.players, remote.seat, error)) {
        return false;
    }
    out = remote;
    return true;
}

}  // namespace lobby
