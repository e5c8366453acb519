// A scene for whole frames on the null device, for benchmarks and tests: the
// engine over services whose render device draws nothing, a box mesh "Box"
// of one material, and a Space "Room" holding a fixed camera at (0, 0, -60)
// that looks along +z.
#pragma once
#include "core/math/Vector.h"

namespace tge {

class Camera;
class Engine;
class Object;
class Space;
namespace gfx {
class NullDevice;
}

struct NullScene {
  Engine* engine = nullptr;
  gfx::NullDevice* device = nullptr;
  Space* space = nullptr;
  Camera* camera = nullptr;
};

// False when the services or the engine did not start; ShutdownNullScene
// ends what was started either way.
bool StartNullScene(NullScene& scene, float boxSize);
void ShutdownNullScene();
// A Mesh object drawing "Box" in the Space.
Object& AddBoxMesh(NullScene& scene, const Vector3& at);
// Lets the camera take its viewport before the first frame.
void PrepareNullSceneFrames(NullScene& scene);

}  // namespace tge
