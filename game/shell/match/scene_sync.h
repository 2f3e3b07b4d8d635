#pragma once
// The course view shows the match: the pin, the sky, the shooter's ball and everyone's balls.

namespace shell {

struct Client;

void ShowMatchInScene(Client& client);

}  // namespace shell
