#pragma once
// A shot's end arrived (message 8): charges, bookkeeping through the rules, the hole's evaluation
// and its reports to the lobby, then the result is shown.

namespace shell {

struct Client;

void ApplyShotResult(Client& client);

}  // namespace shell
