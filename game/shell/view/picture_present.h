#pragma once
// Presenting the finished picture.

namespace shell {

struct Client;

// Presents the back buffer while the window is active and the display ready; a chat window that
// the loading picture covered is repainted once the loading is over.
int PresentStep(Client& client);

}  // namespace shell
