#pragma once
// What the frame loop asks of the course and the 3D scene.

namespace shell {

struct Client;

// The hole's models and textures.
void LoadHoleGeometry(Client& client);
void UnloadHole(Client& client);
void ReleaseSceneObjects(Client& client);
// The scene's display resources after the display was rebuilt.
void RebuildSceneResources(Client& client);

}  // namespace shell
