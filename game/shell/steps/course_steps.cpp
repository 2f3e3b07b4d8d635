// No course yet: nothing is loaded.
#include "game/shell/steps/course_steps.h"

#include "game/shell/client.h"

namespace shell {

void LoadHoleGeometry(Client&) {}
void UnloadHole(Client&) {}
void ReleaseSceneObjects(Client&) {}
void RebuildSceneResources(Client&) {}

}  // namespace shell
