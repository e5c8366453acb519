// Vertex storage an object hands to the render queue by reference must
// outlive the frame even when the object goes (or reallocates) during the
// draw walk: the queue then keeps it until the frame has been drawn.
#pragma once
#include <memory>
#include <utility>

#include "services/EngineServices.h"
#include "services/render/RenderQueue.h"

namespace tge {

inline void KeepUntilFrameEnds(std::shared_ptr<const void> storage) {
  EngineServices* services = GetEngineServices();
  if (services != nullptr && storage != nullptr) services->GetRenderQueue().KeepUntilReset(std::move(storage));
}

}  // namespace tge
