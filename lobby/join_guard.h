#pragma once
// Who may try to join a hosted match: the join code, compared in constant time, and a wait for an
// address that gave a wrong code a few times, so that codes cannot be guessed at network speed.

#include <cstdint>
#include <map>
#include <string>

namespace lobby {

inline constexpr int kWrongCodesAllowed = 3;
inline constexpr uint64_t kWrongCodeWaitMs = 30000;
// Join codes are this many characters from an alphabet without look-alikes (about 50 bits).
inline constexpr size_t kJoinCodeLength = 10;

// A fresh random join code.
std::string MakeJoinCode();

// Whether given equals expected, taking the same time whatever the first differing byte is.
bool CodesMatch(const std::string& given, const std::string& expected);

class JoinGuard {
  public:
    // False while the address waits after too many wrong codes.
    bool MayTry(const std::string& address, uint64_t nowMs);
    // A wrong code from the address: after kWrongCodesAllowed of them it waits kWrongCodeWaitMs.
    void NoteWrongCode(const std::string& address, uint64_t nowMs);
    // A right code clears the address's wrong tries.
    void NoteRightCode(const std::string& address);

  private:
    static constexpr size_t kMaxRecords = 4096;  // addresses remembered
    struct Record {
        int wrong = 0;
        uint64_t waitUntilMs = 0;
    };
    std::map<std::string, Record> records_;
};

}  // namespace lobby
