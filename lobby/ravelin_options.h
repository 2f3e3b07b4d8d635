#pragma once
// Ravelin's command line: the match settings it writes into every client's "Start.ini", who
// plays and who watches, and where the game data and the client program are.

#include <string>
#include <vector>

namespace lobby {

inline constexpr size_t kMaxPlayerName = 12;
inline constexpr size_t kMaxObserverName = 15;
// The TCP port a hosting Ravelin listens on unless --port says otherwise.
inline constexpr int kDefaultPort = 47615;

struct MatchSettings {
    std::string gameName = "Ravelin match";
    int course = -1;         // -1: the first course found in the game data
    std::string courseName;  // empty: the course's own name, else "Course NN"
    int firstHole = -1;      // -1: the first hole of the course found in the game data
    int lastHole = -1;       // -1: the same as the first hole
    int gameMode = 0;        // 0 stroke play, 1 skins, 2 Vegas
    int level = 2;           // 2 (beginner: slow gauge, wide margins, step hints), 1, 0 (hardest)
    int stake = 0;           // balls at stake; below 1 no betting
    int balls = 100;         // every player's ball account
    bool teamPlay = false;
    bool nearOption = false;
    bool longestOption = false;
    bool giveOption = false;
    bool freeGame = false;
    bool observerChat = false;
    std::string language;  // empty: the LANGUAGE of the game data's "Option.ini"
};

struct RavelinOptions {
    MatchSettings match;
    std::vector<std::string> players{"Player1"};
    std::vector<std::string> observers;
    bool windowed = false;
    std::string dataDir;        // empty: see DefaultDataDirectory
    std::string clientProgram;  // empty: Brightlea beside Ravelin
    std::string workDir;        // empty: a fresh folder under /tmp, removed at the end
    std::string timeScale;      // passed on as BRIGHTLEA_TIME_SCALE
    bool autoplay = false;      // BRIGHTLEA_AUTOPLAY=1
    bool checkSync = false;     // every player keeps a state log; the logs are compared at the end
    std::string captureDir;     // BRIGHTLEA_CAPTURE, one sub-folder per client
    int maxSeconds = 0;         // > 0: stop the clients and fail after this long
    bool listCourses = false;   // --list-courses: print the game data's courses and end
    bool host = false;          // --host: remote players and observers join over TCP
    bool mapPort = false;       // --map-port: --host asks the home router to forward its port
    int port = kDefaultPort;    // --port: where --host listens (0: any free port)
    std::vector<std::string> remotePlayers;  // --remote: players who join from elsewhere
    std::string code;                        // --code: the join code (--host: default a fresh random one)
    std::string join;                        // --join HOST[:PORT]: join a hosted match
    std::string name;                        // --name: the seat asked for when joining
    bool observe = false;                    // --observe: join as an observer
    bool help = false;
    bool version = false;  // --version: print the version and end
};

// Reads the command line (without the program name). False with error set when something is wrong.
bool ParseRavelinOptions(const std::vector<std::string>& args, RavelinOptions& options, std::string& error);

const char* RavelinHelpText();

// Names and texts are written into "Start.ini" between double quotes, which have no escape: a
// double quote or a control character in them cannot be written.
bool FitsStartFileQuotes(const std::string& text);
// A player (maxLength 12) or observer (15) name that can be written; false with error set if not.
bool CheckSeatName(const std::string& name, size_t maxLength, const char* what, std::string& error);

}  // namespace lobby
