#pragma once
// The chat word filter: a scrambled word list ("Abuse.fns") and the check of a line against it.

#include <cstdint>
#include <span>

#include "game/shell/launch/launch_config.h"

namespace shell {

enum class WordListStatus {
    kLoaded,
    kBadMagic,       // not a word list (or too short for its header); nothing loaded
    kCheckMismatch,  // the words are loaded, but the file's check value does not match them
};

// Decodes the word list: a 12-byte header ("FNST", check value, word count) and then records of a
// length byte, a rotation byte and the rotated letters. Words replace the list's contents.
WordListStatus ParseWordList(std::span<const uint8_t> bytes, WordList& list);

// True when the text contains a listed word once everything but the letters and "@" is dropped and
// the rest is made lowercase. With doubleByteText (Korean and Japanese texts) a byte of 0x80 or more
// starts a two-byte character, and both of its bytes are dropped.
bool IsTextBlocked(const WordList& list, const char* text, bool doubleByteText);

}  // namespace shell
