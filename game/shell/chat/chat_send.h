#pragma once
// Sending what the player says: typed lines and quick-chat texts (through the word filter), and the
// chat report of the lines on the screen.

namespace shell {

struct Client;

// False for an observer whose match does not allow observers to chat.
bool MayChat(const Client& client);

// Sends the input line as chat to everyone and empties it. A line the word filter blocks is not
// sent (a system line says so); an observer who may not chat is told so instead; a line of blanks
// is dropped.
void SendTypedChat(Client& client);

// Sends quick-chat text index (0-7). From the keys the text passes the word filter; from the HUD's
// menu it does not, and an observer who may not chat is told so there.
void SendQuickChatFromKey(Client& client, int index);
void SendQuickChatFromMenu(Client& client, int index);

// Sends the lines on the screen to the lobby (at most three times a game) and says so in a system
// line.
void ReportChat(Client& client);

}  // namespace shell
