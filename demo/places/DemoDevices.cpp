#include "demo/places/DemoDevices.h"

#include <string>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "demo/assets/DemoParticles.h"
#include "tools/SceneWriter.h"

namespace tge {

void AddDeviceEffects(Object& space) {
  AddPlaced(space, kClassDev2, "Motes",
            std::string("this.SetPosition(0, 0.9, -1.8); this.SetDev2Type(1); this.SetDev2Material(") +
                kDemoGlowMaterial +
                "); this.SetDev2MaxParticle(80); this.SetDev2SpawnVolume(4, 1, 2.5); this.SetDev2MaxSize(0.4);");
}

}  // namespace tge
