#pragma once
// The one-line chat input: the committed text in the language's code page with its caret, and the
// text an input method is still composing (Korean, Japanese), which is shown but not yet part of
// the line.

#include <cstddef>
#include <string>

#include "platform/code_page.h"

namespace shell {

inline constexpr size_t kChatInputLimit = 49;  // bytes of committed text

struct ChatInput {
    std::string text;         // code-page bytes, at most kChatInputLimit
    size_t caret = 0;         // byte offset in text, always on a character boundary
    std::string composition;  // UTF-8 text being composed; empty when none
    int compositionCursor = 0;
};

struct ChatInputLanguage {
    platform::CodePage codePage = platform::CodePage::Western1252;
    bool doubleByte = false;  // Korean and Japanese: a byte of 0x80 or more starts a two-byte character
};

// Puts committed text (UTF-8, as the keyboard or an input method delivers it) at the caret in the
// language's code page. Control characters and characters the code page lacks are dropped;
// characters that would pass the limit are dropped whole. Ends any composition.
void InsertTypedText(ChatInput& input, const ChatInputLanguage& language, const char* utf8);

// The input method's current composition (empty: it ended).
void SetComposition(ChatInput& input, const char* utf8, int cursor);

// Editing keys. Each works on whole characters.
void DeleteBeforeCaret(ChatInput& input, const ChatInputLanguage& language);
void DeleteAtCaret(ChatInput& input, const ChatInputLanguage& language);
void MoveCaret(ChatInput& input, const ChatInputLanguage& language, int direction);  // -1 left, +1 right
void MoveCaretToEnd(ChatInput& input, bool toEnd);                                   // false: start

// Takes the committed text out of the input, which is left empty.
std::string TakeChatInput(ChatInput& input);
void ClearChatInput(ChatInput& input);

// What the input line shows (code-page bytes): the committed text with the composition (as far as
// the code page has its characters) at the caret, and the caret's position in bytes of that text.
std::string ShownChatInput(const ChatInput& input, const ChatInputLanguage& language, size_t& caret);

}  // namespace shell
