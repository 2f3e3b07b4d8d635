#pragma once
// What the frame loop asks of the launch configuration: the files read at start-up and per hole.

namespace shell {

struct Client;

// Reads the option, start and string files and gives the display its 3D option (ACC3DOPT). A
// negative result ends start-up.
int ReadLaunchConfig(Client& client);
// Sets the HUD face and the chat input for the configured language.
void SetUpLanguageInput(Client& client);
// The swing-timing table, once at start-up.
void ReadSwingTimingTable(Client& client);
void CountSkyPictures(Client& client);
// The word list of the chat filter, released at exit.
void ReleaseWordFilter(Client& client);

}  // namespace shell
