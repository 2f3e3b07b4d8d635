#include "lobby/farewell_text.h"

#include "game/shell/lobby/lobby_packet.h"
#include "lobby/log_text.h"
#include "lobby/relay.h"
#include "platform/code_page.h"

namespace lobby {

namespace {

struct Texts {
    const char* hostEnded;  // the host said bye
    const char* lost;       // anything else: the connection broke or went silent
};

// UTF-8 here; converted to the client's code page when used.
Texts TextsFor(const std::string& language) {
    if (language == "KOR") {
        return {
            "\xED\x98\xB8\xEC\x8A\xA4\xED\x8A\xB8\xEA\xB0\x80 \xEA\xB2\xBD\xEA\xB8\xB0\xEB\xA5\xBC "
            "\xEB\x81\x9D\xEB\x83\x88\xEC\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4. "
            "\xEA\xB2\x8C\xEC\x9E\x84\xEC\x9D\x84 "
            "\xEB\xA7\x88\xEC\xB9\xA9\xEB\x8B\x88\xEB\x8B\xA4.",
            "\xED\x98\xB8\xEC\x8A\xA4\xED\x8A\xB8\xEC\x99\x80\xEC\x9D\x98 "
            "\xEC\x97\xB0\xEA\xB2\xB0\xEC\x9D\xB4 "
            "\xEB\x81\x8A\xEC\x96\xB4\xEC\xA1\x8C\xEC\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4. "
            "\xEA\xB2\x8C\xEC\x9E\x84\xEC\x9D\x84 \xEB\xA7\x88\xEC\xB9\xA9\xEB\x8B\x88\xEB\x8B\xA4."};
    }
    if (language == "JPN") {
        return {
            "\xE3\x83\x9B\xE3\x82\xB9\xE3\x83\x88\xE3\x81\x8C\xE8\xA9\xA6\xE5\x90\x88\xE3\x82\x92"
            "\xE7\xB5\x82\xE4\xBA\x86\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x97\xE3\x81\x9F\xE3\x80\x82"
            "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0\xE3\x82\x92\xE7\xB5\x82\xE4\xBA\x86\xE3\x81\x97"
            "\xE3\x81\xBE\xE3\x81\x99\xE3\x80\x82",
            "\xE3\x83\x9B\xE3\x82\xB9\xE3\x83\x88\xE3\x81\xA8\xE3\x81\xAE\xE6\x8E\xA5\xE7\xB6\x9A\xE3\x81\x8C"
            "\xE5\x88\x87\xE3\x82\x8C\xE3\x81\xBE\xE3\x81\x97\xE3\x81\x9F\xE3\x80\x82"
            "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0\xE3\x82\x92\xE7\xB5\x82\xE4\xBA\x86\xE3\x81\x97"
            "\xE3\x81\xBE\xE3\x81\x99\xE3\x80\x82"};
    }
    return {"The host has ended the match. Your game ends.",
            "The connection to the host was lost. Your game ends."};
}

}  // namespace

std::string LinkEndedText(const std::string& language, const std::string& reason) {
    const Texts texts = TextsFor(language);
    const bool hostEnded = reason.rfind("the peer: ", 0) == 0;
    // The reason itself is the link's own English words (or the host's), kept to printable ASCII.
    std::string detail;
    for (const char c : LogSafe(reason)) {
        detail += c >= 0x20 && c < 0x7F ? c : '?';
    }
    std::string text = std::string(hostEnded ? texts.hostEnded : texts.lost) + " (" + detail + ")";
    platform::CodePage codePage = platform::CodePage::Western1252;
    platform::LanguageCodePage(language, codePage);
    text = platform::Utf8ToCodePageDropping(text, codePage);
    return text.substr(0, 250);  // a system line's text fits one packet of the client's
}

std::vector<std::vector<uint8_t>> LinkEndedPackets(const std::string& language, const std::string& reason) {
    return {LobbyMessage(shell::kMsgSystemText, "", "", LinkEndedText(language, reason)),
            LobbyMessage(shell::kMsgCloseMatch, "", "")};
}

}  // namespace lobby
