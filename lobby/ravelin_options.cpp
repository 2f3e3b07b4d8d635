#include "lobby/ravelin_options.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

namespace lobby {

namespace {

constexpr size_t kMinCodeLength = 8;

std::vector<std::string> SplitNames(const std::string& list) {
    std::vector<std::string> names;
    std::stringstream in(list);
    std::string name;
    while (std::getline(in, name, ',')) {
        names.push_back(name);
    }
    return names;
}

bool ParseInt(const std::string& text, int low, int high, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < low || v > high) {
        return false;
    }
    out = static_cast<int>(v);
    return true;
}

bool ParseGameMode(const std::string& text, int& out) {
    if (text == "stroke") {
        out = 0;
    } else if (text == "skins") {
        out = 1;
    } else if (text == "vegas") {
        out = 2;
    } else {
        return ParseInt(text, 0, 2, out);
    }
    return true;
}

bool CheckNames(const std::vector<std::string>& names, size_t maxLength, const char* what,
                std::string& error) {
    for (const std::string& name : names) {
        if (!CheckSeatName(name, maxLength, what, error)) {
            return false;
        }
    }
    return true;
}

bool CheckSeats(const RavelinOptions& o, std::string& error) {
    if (o.players.empty() || o.players.size() > 4) {
        error = "a match has 1 to 4 players";
        return false;
    }
    if (o.match.teamPlay && o.players.size() != 4) {
        error = "team play needs 4 players";
        return false;
    }
    if (!CheckNames(o.players, kMaxPlayerName, "player", error) ||
        !CheckNames(o.observers, kMaxObserverName, "observer", error)) {
        return false;
    }
    std::set<std::string> seen;
    for (const auto* list : {&o.players, &o.observers}) {
        for (const std::string& name : *list) {
            if (!seen.insert(name).second) {
                error = "the name \"" + name + "\" is used twice";
                return false;
            }
        }
    }
    return true;
}

bool CheckHosting(const RavelinOptions& o, std::string& error) {
    if (!o.host && (!o.remotePlayers.empty() || !o.code.empty() || o.mapPort)) {
        error = "--remote, --map-port and --code belong to --host (or --code to --join)";
        return false;
    }
    for (const std::string& name : o.remotePlayers) {
        if (std::find(o.players.begin(), o.players.end(), name) == o.players.end()) {
            error = "the remote player " + name + " is not one of --players";
            return false;
        }
    }
    if (o.host && !o.code.empty() && o.code.size() < kMinCodeLength) {
        error = "a join code has at least " + std::to_string(kMinCodeLength) + " characters";
        return false;
    }
    return true;
}

bool CheckJoining(const RavelinOptions& o, std::string& error) {
    if (o.host) {
        error = "--host and --join exclude each other";
        return false;
    }
    if (o.code.empty() || o.code.size() > 255) {
        error = "--join needs the host's join code (--code)";
        return false;
    }
    return CheckSeatName(o.name, o.observe ? kMaxObserverName : kMaxPlayerName,
                         o.observe ? "observer" : "player", error);
}

}  // namespace

bool FitsStartFileQuotes(const std::string& text) {
    for (const char c : text) {
        if (c == '"' || static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
    }
    return true;
}

bool CheckSeatName(const std::string& name, size_t maxLength, const char* what, std::string& error) {
    if (name.empty() || name.size() > maxLength || !FitsStartFileQuotes(name)) {
        error = std::string(what) + " name \"" + name + "\" must have 1 to " + std::to_string(maxLength) +
                " characters, no double quote and no control character";
        return false;
    }
    return true;
}

bool ParseRavelinOptions(const std::vector<std::string>& args, RavelinOptions& o, std::string& error) {
    MatchSettings& m = o.match;
    const std::map<std::string, bool*> flags = {
        {"--team", &m.teamPlay},
        {"--near", &m.nearOption},
        {"--longest", &m.longestOption},
        {"--give", &m.giveOption},
        {"--free", &m.freeGame},
        {"--observer-chat", &m.observerChat},
        {"--windowed", &o.windowed},
        {"--autoplay", &o.autoplay},
        {"--help", &o.help},
        {"--check-sync", &o.checkSync},
        {"--version", &o.version},
        {"--list-courses", &o.listCourses},
        {"--host", &o.host},
        {"--map-port", &o.mapPort},
        {"--observe", &o.observe},
    };
    const std::map<std::string, std::string*> texts = {
        {"--game-name", &m.gameName},
        {"--course-name", &m.courseName},
        {"--language", &m.language},
        {"--data", &o.dataDir},
        {"--client", &o.clientProgram},
        {"--work", &o.workDir},
        {"--time-scale", &o.timeScale},
        {"--capture", &o.captureDir},
        {"--code", &o.code},
        {"--join", &o.join},
        {"--name", &o.name},
    };
    struct Number {
        int* out;
        int low;
        int high;
    };
    const std::map<std::string, Number> numbers = {
        {"--course", {&m.course, 0, 99}},
        {"--first-hole", {&m.firstHole, 0, 99}},
        {"--last-hole", {&m.lastHole, 0, 99}},
        {"--level", {&m.level, 0, 2}},
        {"--stake", {&m.stake, 0, 1000000}},
        {"--balls", {&m.balls, 0, 1000000000}},
        {"--max-seconds", {&o.maxSeconds, 0, 86400}},
        {"--port", {&o.port, 0, 65535}},
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (auto f = flags.find(arg); f != flags.end()) {
            *f->second = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = "unknown option or missing value: " + arg;
            return false;
        }
        const std::string& value = args[++i];
        if (auto t = texts.find(arg); t != texts.end()) {
            if ((t->second == &m.gameName || t->second == &m.courseName) && !FitsStartFileQuotes(value)) {
                error = arg + " cannot hold a double quote or a control character";
                return false;
            }
            *t->second = value;
        } else if (auto n = numbers.find(arg); n != numbers.end()) {
            if (!ParseInt(value, n->second.low, n->second.high, *n->second.out)) {
                error = arg + " needs a whole number from " + std::to_string(n->second.low) + " to " +
                        std::to_string(n->second.high);
                return false;
            }
        } else if (arg == "--mode") {
            if (!ParseGameMode(value, m.gameMode)) {
                error = "--mode is stroke, skins or vegas (or 0, 1, 2)";
                return false;
            }
        } else if (arg == "--players") {
            o.players = SplitNames(value);
        } else if (arg == "--observers") {
            o.observers = SplitNames(value);
        } else if (arg == "--remote") {
            o.remotePlayers = SplitNames(value);
        } else {
            error = "unknown option: " + arg;
            return false;
        }
    }
    if (o.help || o.listCourses || o.version) {
        return true;
    }
    return o.join.empty() ? CheckSeats(o, error) && CheckHosting(o, error) : CheckJoining(o, error);
}

const char* RavelinHelpText() {
    return R"(Ravelin - the game's lobby: starts the game clients of one match and relays their messages.

Usage: Ravelin [options]

Ravelin makes one game directory per client (sharing the game data, each with its own
"Start.ini"), starts the clients, relays every message to every client of the match in one
order, tells the others when a client leaves, writes every report message it receives as one
JSON line on standard output, and ends when every client has ended. Packets a client may not
send are refused and counted; a flooding client or one that stops reading is removed, with a
JSON line {"event":"removed",...}; a second connection to a seat is refused ({"event":"refused"}).

Seats:
  --players A,B,...      1 to 4 player names, at most 12 characters each (default Player1)
  --observers X,...      observers watching from the start, at most 15 characters each
Match:
  --course N             course code (default: the first Map/Club_NN of the game data)
  --course-name TEXT     course name shown in the game (default: the course's own name,
                         else "Course NN")
  --first-hole N         first hole (default: the first hole of the course)
  --last-hole N          last hole (default: the first hole)
  --mode M               stroke, skins or vegas (default stroke)
  --level L              difficulty: 2 beginner (default), 1, 0 hardest
  --stake N              balls at stake per settlement; 0 plays without betting (default 0)
  --balls N              every player's ball account (default 100)
  --team                 team play (needs 4 players)
  --near, --longest      nearest-to-the-pin and longest-drive awards
  --give                 players may concede putts
  --free                 free game: no power shot, no spin
  --observer-chat        observers may chat
  --language XXX         ENG, KOR or JPN (default: the game data's Option.ini)
  --game-name TEXT       the match's name (default "Ravelin match")
Clients:
  --windowed             start the clients in a window (WINDOWMODE)
  --data DIR             the game data (default: this directory if it holds Option.ini,
                         else ../gamedata beside Ravelin)
  --client PATH          the client program (default: Brightlea beside Ravelin)
  --work DIR             where the client directories and sockets go (default: a fresh
                         folder under /tmp, removed at the end)
  --time-scale X         BRIGHTLEA_TIME_SCALE for the clients
  --autoplay             BRIGHTLEA_AUTOPLAY=1 for the clients
  --check-sync           every client keeps a state log (BRIGHTLEA_STATE_LOG); at the end the
                         logs are compared (a player who left must agree up to his leaving, an
                         observer from his second shot on), a JSON line tells the verdict, and
                         a difference ends Ravelin with status 3
  --capture DIR          BRIGHTLEA_CAPTURE for the clients, one sub-folder per client
  --max-seconds N        stop the clients and fail after N seconds
  --list-courses         list the courses of the game data (name, holes, par, length)
  --help                 this text
  --version              the version

Play across machines:
  --host                 let players and observers join from other machines over TCP: prints
                         the join code ({"event":"hosting","port":P,"code":C} on standard
                         output) and starts the match once every remote player has joined
  --port P               the TCP port --host listens on, IPv4 and IPv6 (default 47615; 0: any)
  --remote A,B           the players (among --players) who join from elsewhere
  --map-port             --host: ask the home router to forward the port (UPnP IGD, then
                         NAT-PMP, 2 s each); the mapping is removed when the host ends
  --code CODE            --host: the join code (default: a fresh random one, at least 8
                         characters); --join: the code the host printed
  --join HOST[:PORT]     join a hosted match (an IPv6 address in brackets: [::1]:47615); the
                         host's settings make the client's Start.ini, Ravelin starts the client
                         here and relays between it and the host
  --name NAME            the seat to take when joining: a remote player's name, or with
                         --observe any free observer name
  --observe              join as an observer

Commands on standard input, one per line:
  observe NAME           start an observer client that joins the running match
  close                  close the match (every client announces it and ends)
  say TEXT               a system line for every client

Ctrl-C closes the match; a second Ctrl-C stops the clients at once.

Exit status: 0 every client ended well; 1 the time limit was reached; 2 bad settings or a client
could not be started; 3 the players' state logs differ (--check-sync); 4 a client ended with an
error; 5 (--join) the host refused or could not be reached; 6 (--join) the link to the host was
lost during the match. The clients' sockets and lock files are removed at the end.
)";
}

}  // namespace lobby
