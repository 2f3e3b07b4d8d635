#pragma once
// The course view shows the match: the pin, the sky, the shooter's ball and everyone's balls.

namespace shell {

struct Client;

void ShowMatchInScene(Client& client);
// The main camera stands behind the ball of the current shot record, looking at its aim point; the
// map panel and the objects facing the viewer follow. Call after ShowMatchInScene, whose pin and
// lie the map panel shows.
void AimCameraAtShot(Client& client);

}  // namespace shell
