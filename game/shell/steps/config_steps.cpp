#include "game/shell/steps/config_steps.h"

#include "game/shell/client.h"
#include "game/shell/launch/language.h"
#include "game/shell/launch/launch_files.h"
#include "game/shell/launch/launch_loader.h"
#include "game/shell/launch/text_lines.h"

namespace shell {

int ReadLaunchConfig(Client& client) {
    LaunchConfig& config = client.config;
    if (!ReadLaunchConfiguration(config, client.shell.windowed, PlayerErrorBox(config))) {
        return -1;
    }
    client.display.useHardware3D = config.options.hardware3D;
    // What this client sends carries its player's name, or the observer name when it only watches.
    const MatchConfig& match = config.match;
    if (match.localIsObserver != 0) {
        SetLobbyIdentity(client.lobby, match.observerName, true);
    } else if (match.localSlot >= 0 && match.localSlot < kPlayerSlots) {
        SetLobbyIdentity(client.lobby, config.players[match.localSlot].name, false);
    }
    return 0;
}

void SetUpLanguageInput(Client& client) {
    LaunchConfig& config = client.config;
    const char* language = config.options.language;
    client.text.codePage = present::TextCodePageForLanguage(language);
    if (const char* face = HudFaceForLanguage(language)) {
        CopyCut(config.hudFace, sizeof(config.hudFace), face);
    }
    if (IsLanguage(language, "JPN")) {
        client.shell.japaneseInput = true;
    }
    if (IsLanguage(language, "ENG")) {
        CopyCut(config.fixedFace, sizeof(config.fixedFace), "Courier New");
    }
}

void ReadSwingTimingTable(Client& client) {
    LoadSwingTiming(client.config);
}

void CountSkyPictures(Client& client) {
    client.config.skyCount = CountSkyPictures();
}

void ReleaseWordFilter(Client& client) {
    client.config.wordList.words.clear();
}

}  // namespace shell
