#include "game/shell/chat/chat_input.h"

#include <cstdint>

#include "game/shell/chat/chat_history.h"

namespace shell {

namespace {

// The code-page form of UTF-8 text, character by character: what cannot be converted is dropped.
std::string ToCodePage(const char* utf8, const ChatInputLanguage& language) {
    const std::string converted = platform::Utf8ToCodePageDropping(utf8, language.codePage);
    std::string clean(converted.size() + 1, '\0');
    CleanChatText(converted.c_str(), clean.data(), clean.size(), language.doubleByte);
    clean.resize(std::char_traits<char>::length(clean.c_str()));
    return clean;
}

// The byte length of the character that starts at offset.
size_t CharacterAt(const std::string& text, size_t offset, bool doubleByte) {
    if (offset >= text.size()) {
        return 0;
    }
    return doubleByte && static_cast<unsigned char>(text[offset]) >= 0x80 && offset + 1 < text.size() ? 2 : 1;
}

// The byte length of the character that ends at offset.
size_t CharacterBefore(const std::string& text, size_t offset, bool doubleByte) {
    size_t start = 0;
    size_t last = 0;
    while (start < offset) {
        last = CharacterAt(text, start, doubleByte);
        start += last;
    }
    return last;
}

}  // namespace

void InsertTypedText(ChatInput& input, const ChatInputLanguage& language, const char* utf8) {
    input.composition.clear();
    input.compositionCursor = 0;
    const std::string typed = ToCodePage(utf8, language);
    const size_t room = input.text.size() < kChatInputLimit ? kChatInputLimit - input.text.size() : 0;
    const size_t keep = WholeCharacters(typed.data(), typed.size(), room, language.doubleByte);
    input.text.insert(input.caret, typed, 0, keep);
    input.caret += keep;
}

void SetComposition(ChatInput& input, const char* utf8, int cursor) {
    input.composition = utf8;
    input.compositionCursor = cursor;
}

void DeleteBeforeCaret(ChatInput& input, const ChatInputLanguage& language) {
    const size_t width = CharacterBefore(input.text, input.caret, language.doubleByte);
    input.text.erase(input.caret - width, width);
    input.caret -= width;
}

void DeleteAtCaret(ChatInput& input, const ChatInputLanguage& language) {
    input.text.erase(input.caret, CharacterAt(input.text, input.caret, language.doubleByte));
}

void MoveCaret(ChatInput& input, const ChatInputLanguage& language, int direction) {
    if (direction < 0) {
        input.caret -= CharacterBefore(input.text, input.caret, language.doubleByte);
    } else {
        input.caret += CharacterAt(input.text, input.caret, language.doubleByte);
    }
}

void MoveCaretToEnd(ChatInput& input, bool toEnd) {
    input.caret = toEnd ? input.text.size() : 0;
}

std::string TakeChatInput(ChatInput& input) {
    std::string text = std::move(input.text);
    ClearChatInput(input);
    return text;
}

void ClearChatInput(ChatInput& input) {
    input.text.clear();
    input.caret = 0;
    input.composition.clear();
    input.compositionCursor = 0;
}

std::string ShownChatInput(const ChatInput& input, const ChatInputLanguage& language, size_t& caret) {
    const std::string composing = ToCodePage(input.composition.c_str(), language);
    std::string shown = input.text;
    shown.insert(input.caret, composing);
    caret = input.caret + composing.size();
    return shown;
}

}  // namespace shell
