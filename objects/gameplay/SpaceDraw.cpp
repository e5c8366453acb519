// The draw walk: from the camera's cell through inheriting parents,
// connections and inner Spaces, each Space at most once per frame of its
// World by its frame stamp. A closed door (a connection that is not open)
// on a portal draws its own contents but nothing behind it.
#include "core/BaseCommandIds.h"
#include "core/World.h"
#include "objects/gameplay/Space.h"
#include "services/EngineServices.h"
#include "services/ResourceType.h"

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
  }
  RaiseDrawEvents();
  lastDrawnFrame_ = world->GetFrameStamp();
  DrawContents();
  if (!IsPortal()) world->CountDrawnCell();
  if (IsPortal() && !PassesPortal()) return;
  for (bool open : {false, true}) {
    for (int i = 0; i < GetConnectedCount(); ++i) {
      Space* neighbour = GetConnectedSpace(i);
      if (neighbour != nullptr && neighbour->IsConnectionOpen() == open) neighbour->DrawWalk();
    }
  }
  for (int i = 0; i < GetInnerSpaceCount(); ++i) {
    if (Space* inner = GetInnerSpace(i)) inner->DrawWalk();
  }
}

// A Space seen again after a frame without it starts drawing anew.
void Space::RaiseDrawEvents() {
  const World& world = *GetWorld();
  if (lastDrawnFrame_ == 0) {
    RaiseInSubtree(*this, kEventOnFirstTimeDrawn);
    RaiseInSubtree(*this, kEventOnStartDraw);
  } else if (lastDrawnFrame_ != world.GetPreviousFrameStamp()) {
    RaiseInSubtree(*this, kEventOnStartDraw);
  }
}

// Mesh entries are resolved by name when first drawn.
void Space::DrawContents() {
  EngineServices* services = GetEngineServices();
  for (auto& entry : meshEntries_) {
    if (!entry->resource && services != nullptr) {
      entry->resource = services->GetResources().AcquireResource(entry->name, kMeshResource);
    }
  }
  for (int i = 0; i < GetChildCount(); ++i) GetChild(i)->Draw();
}

bool Space::PassesPortal() { return !(IsConnection() && !IsConnectionOpen()); }

}  // namespace tge
