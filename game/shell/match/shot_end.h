#pragma once
// A shot's end arrived (message 8): charges, bookkeeping through the rules, the hole's evaluation
// and its reports to the lobby, then the result is shown.

namespace shell {

struct Client;

void ApplyShotResult(Client& client);
// Everyone still in the match has finished the hole without a shot ending (a player left): the
// hole is evaluated and reported as after its last shot, and the result is shown.
void EvaluateHoleNow(Client& client);

}  // namespace shell
