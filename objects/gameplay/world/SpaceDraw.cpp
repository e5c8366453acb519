// The draw walk: from the camera's cell through inheriting parents,
// connections and inner Spaces, each Space at most once per frame of its
// World by its frame stamp. A closed door (a connection that is not open)
// on a portal draws its own contents but nothing behind it; an open portal
// narrows what is drawn behind it to the view through its box. Mesh
// entries go to the services' render queue; without a services object the
// walk still visits and stamps the cells.
#include "core/BaseCommandIds.h"
#include "core/ObjectHooks.h"
#include "core/World.h"
#include "objects/gameplay/world/Space.h"
#include "services/EngineServices.h"
#include "services/render/RenderQueue.h"
#include "services/render/ViewState.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr int kEventOnFirstTimeDrawn = 217;
constexpr int kEventOnStartDraw = 218;

void RaiseInSubtree(Object& root, int eventId) {
  ArgumentBlock block;
  block.Push<std::int32_t>(eventId).PushPointer(nullptr);
  root.ExecuteCommand(kCommandRaiseEvent, block.Data());
}

}  // namespace

void Space::DrawWalk() {
  World* world = GetWorld();
  if (!GetActive() || !World::IsLive(world) || lastDrawnFrame_ == world->GetFrameStamp()) return;
  if (IsInherit() && GetParentSpace() != nullptr) {
    lastDrawnFrame_ = world->GetFrameStamp();
    GetParentSpace()->DrawWalk();
    if (IsRetired()) return;
  }
  if (!RaiseDrawEvents()) return;
  lastDrawnFrame_ = world->GetFrameStamp();
  DrawContents();
  if (!IsPortal()) World::CountDrawnCell();
  if (IsPortal() && !PassesPortal()) return;
  for (bool open : {false, true}) {
    for (int i = 0; i < GetConnectedCount(); ++i) {
      Space* neighbour = GetConnectedSpace(i);
      if (neighbour != nullptr && neighbour->IsConnectionOpen() == open) neighbour->DrawWalk();
      if (IsRetired()) return;
    }
  }
  for (int i = 0; i < GetInnerSpaceCount(); ++i) {
    if (Space* inner = GetInnerSpace(i)) inner->DrawWalk();
    if (IsRetired()) return;
  }
  if (EngineServices* services = GetEngineServices()) services->GetView().ClearPortalVolumes();
}

// A Space seen again after a frame without it starts drawing anew. A
// script of the events may unload the level holding this Space: the hold
// keeps it until the check, and a Space that left the tree draws nothing.
bool Space::RaiseDrawEvents() {
  const DeletionHold hold;
  const World& world = *GetWorld();
  if (lastDrawnFrame_ == 0) {
    RaiseInSubtree(*this, kEventOnFirstTimeDrawn);
    if (IsRetired()) return false;
    RaiseInSubtree(*this, kEventOnStartDraw);
  } else if (lastDrawnFrame_ != world.GetPreviousFrameStamp()) {
    RaiseInSubtree(*this, kEventOnStartDraw);
  }
  return !IsRetired();
}

// Mesh entries are resolved by name when first drawn.
void Space::DrawContents() {
  if (EngineServices* services = GetEngineServices()) {
    const Matrix4& world = GetWorldMatrix();
    for (auto& entry : meshEntries_) {
      if (!entry->resource) entry->resource = services->GetResources().AcquireResource(entry->name, kMeshResource);
      if (entry->resource) services->GetRenderQueue().QueueMesh(entry->resource.Get(), world, nullptr, nullptr, 1.0f, nullptr);
    }
  }
  for (int i = 0; i < GetChildCount() && !IsRetired(); ++i) GetChild(i)->Draw();
}

// A camera standing inside the portal sees everything beyond it.
bool Space::PassesPortal() {
  if (IsConnection() && !IsConnectionOpen()) return false;
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return true;
  ViewState& view = services->GetView();
  if (!view.IsSphereVisible(boundingSphere_, true)) return false;
  if (!IsWithinRadius(boundingSphere_.centre, boundingSphere_.radius, view.GetCameraPosition())) {
    view.AddPortalVolume(worldBox_);
  }
  return true;
}

}  // namespace tge
