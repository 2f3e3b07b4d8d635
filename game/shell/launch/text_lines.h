#pragma once
// Reads a text file's bytes line by line the way the C library's fgets does on a file opened in text
// mode: a line is cut into pieces of at most capacity - 1 bytes, the line end is kept, and a carriage
// return before a line feed is dropped.

#include <cstddef>
#include <cstdint>
#include <span>

namespace shell {

struct TextLines {
    std::span<const uint8_t> bytes;
    size_t position = 0;
};

// Copies the next line (or the next capacity - 1 bytes of it) into buffer, NUL-terminated, and
// returns true; returns false at the end of the bytes. capacity must be at least 2.
bool NextLine(TextLines& lines, char* buffer, size_t capacity);

// Removes one trailing character below 32 (the line end) from a NUL-terminated string.
void DropLineEnd(char* text);

// Copies at most capacity - 1 bytes of text (up to its NUL) into field and terminates it.
void CopyCut(char* field, size_t capacity, const char* text);

// Reads a signed decimal number the way atoi does (leading blanks, a sign, digits, anything after
// is ignored, no digits give 0), but saturating instead of overflowing.
int32_t ReadDecimal(const char* text);

}  // namespace shell
