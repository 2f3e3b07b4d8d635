#pragma once
// The line rules of the three text files the updater reads: the language line of "Option.ini",
// the numbered message lines of "ATString.ini" and the installed version in "Version.ini".
// Texts stay bytes in the installation's code page; only ASCII bytes are ever changed or compared.

#include <string>
#include <string_view>
#include <vector>

namespace updater {

// Upper-cases ASCII letters only, so that the bytes of double-byte characters stay as they are.
inline char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The numbered message lines; index i is line i of "ATString.ini", missing lines are empty.
using MessageTable = std::vector<std::string>;

// Removes leading and trailing bytes up to and including the blank (control characters and spaces).
std::string_view TrimBlanks(std::string_view text);

// Splits a file's text into lines at LF, dropping a CR before it. A final line without LF counts;
// the empty piece after a final LF does not.
std::vector<std::string_view> SplitLines(std::string_view text);

// The language of "Option.ini": every line whose first 8 characters, upper-cased, are "LANGUAGE"
// sets it to the line's characters 10 to 12, upper-cased; the last such line wins. Empty when no
// line sets it.
std::string LanguageFromOptionFile(std::string_view text);

// Reads "ATString.ini": blank lines are skipped; otherwise two decimal digits give the index, the
// third character separates, and the rest, trimmed, is the text. The table grows to index + 1
// entries and never shrinks; a line without two leading digits is ignored.
MessageTable ParseMessageTable(std::string_view text);

// The entry at index, or an empty text when the table is shorter.
const std::string& MessageLine(const MessageTable& table, int index);

// The installed version: the last line of "Version.ini" that is not blank, trimmed. Empty when the
// file holds no such line.
std::string VersionFromFile(std::string_view text);

}  // namespace updater
