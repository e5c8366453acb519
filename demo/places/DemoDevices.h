// The demo's particle device: a swarm of pale flecks drifting low over the
// ground before the crates, fading in as they appear.
#pragma once

namespace tge {

class Object;

// The swarm in space, drawn with the particle effects' glow.
void AddDeviceEffects(Object& space);

}  // namespace tge
