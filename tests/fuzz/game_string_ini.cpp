// Feeds arbitrary bytes to the game-string and quick-chat parsers, and fills placeholders of what
// was read.
#include <cstddef>
#include <cstdint>

#include "game/shell/launch/game_strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    shell::GameStrings strings;
    shell::ParseGameStrings({data, size}, strings);
    shell::QuickChat quickChat;
    shell::ParseQuickChat({data, size}, quickChat);
    for (const char* text : strings.text) {
        shell::GameText named = shell::ReplacePlaceholder(text, shell::kPlaceholderId, strings.text[1]);
        shell::ReplacePlaceholder(named.text, shell::kPlaceholderCount, -2147483647 - 1);
    }
    return 0;
}
