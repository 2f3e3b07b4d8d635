#pragma once
// The hole as the client shows it: its settings and background sound, its models and textures,
// and the 3D scene.

namespace shell {

struct Client;

// The current hole's settings and background sound.
void LoadHoleSettings(Client& client);

// The hole's models and textures.
void LoadHoleGeometry(Client& client);
void UnloadHole(Client& client);
void ReleaseSceneObjects(Client& client);
// The scene's display resources after the display was rebuilt.
void RebuildSceneResources(Client& client);

}  // namespace shell
