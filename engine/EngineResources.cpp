// The engine's resource passes: collecting what a subtree uses (internal
// command 11 through the whole subtree), loading or unloading it, with an
// optional progress display, and resolving the UI skin's resource names.
#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "engine/Engine.h"
#include "engine/ProgressDisplay.h"
#include "services/EngineServices.h"
#include "services/render/RenderQueue.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr float kProgressStart = 4.0f;
constexpr float kProgressCollected = 8.0f;
constexpr std::size_t kResourcesPerRedraw = 10;

ResourceDatabase* Resources() {
  EngineServices* services = GetEngineServices();
  return services ? &services->GetResources() : nullptr;
}

std::unique_ptr<ResourceSet> CollectResources(ResourceDatabase& resources, Object& root, Object* further) {
  std::unique_ptr<ResourceSet> set = resources.CreateResourceSet(false);
  BroadcastCommand(root, kCommandCollectResources, set.get());
  if (further != nullptr) BroadcastCommand(*further, kCommandCollectResources, set.get());
  return set;
}

// Every material loaded is drawn once, empty, as a sprite in the coming
// frame, so the device builds its sprite states while the game loads: a
// HUD or a radar that first shows when a player spawns finds them ready.
void PrepareSprites(const ResourceSet& set) {
  RenderQueue& queue = GetEngineServices()->GetRenderQueue();
  for (std::size_t i = 0; i < set.GetResourceSetSize(); ++i) {
    Resource* resource = set.GetResourceSetItem(i);
    if (resource->GetType() == kMaterialResource) queue.PrepareSprite(resource);
  }
}

int SkinResourceType(SkinEntry entry) {
  switch (entry) {
    case kSkinWindowFont:
    case kSkinWindowBigFont:
      return kFontResource;
    case kSkinButtonHiliteSound:
    case kSkinButtonActionSound:
    case kSkinButtonFailSound:
      return kSoundResource;
    default:
      return kMaterialResource;
  }
}

struct WidgetSprites {
  int classId;
  SkinEntry background;
  SkinEntry highlight;
};

constexpr WidgetSprites kWidgetSprites[] = {
    {kClassButton, kSkinButtonBgSprite, kSkinButtonHiliteSprite},
    {kClassListBox, kSkinListBoxBgSprite, kSkinListBoxHiliteSprite},
    {kClassTextInput, kSkinTextInputBgSprite, kSkinTextInputHiliteSprite},
    {kClassSlider, kSkinSliderBgSprite, kSkinSliderHiliteSprite},
    {kClassCheckBox, kSkinCheckBoxBgSprite, kSkinCheckBoxHiliteSprite},
};

}  // namespace

void Engine::LoadResources(Object& root) {
  ResourceDatabase* resources = Resources();
  if (resources == nullptr) return;
  ResolveUISkin();
  std::unique_ptr<ResourceSet> set = CollectResources(*resources, root, nullptr);
  for (std::size_t i = 0; i < set->GetResourceSetSize(); ++i) resources->LoadResource(set->GetResourceSetItem(i));
  PrepareSprites(*set);
}

void Engine::UnloadResources(Object& root) {
  ResourceDatabase* resources = Resources();
  if (resources == nullptr) return;
  std::unique_ptr<ResourceSet> set = CollectResources(*resources, root, nullptr);
  for (std::size_t i = 0; i < set->GetResourceSetSize(); ++i) resources->UnloadResource(set->GetResourceSetItem(i));
}

void Engine::LoadResourcesWithProgressBar(Object& root, Object* further, ProgressDisplay* display) {
  ResourceDatabase* resources = Resources();
  if (resources == nullptr) return;
  auto show = [display](float width) {
    if (display == nullptr) return;
    display->SetWidth(width);
    display->Redraw();
  };
  const float fullWidth = display ? display->GetWidth() : 0.0f;
  if (display != nullptr) {
    display->SetWidth(0);
    display->SetActive(true);
  }
  show(kProgressStart);
  std::unique_ptr<ResourceSet> set = CollectResources(*resources, root, further);
  show(kProgressCollected);
  resources->UnloadUnusedResources();
  const std::size_t count = set->GetResourceSetSize();
  const float step = count == 0 ? 0.0f : (fullWidth - kProgressCollected) / (static_cast<float>(count) * 0.1f);
  float width = kProgressCollected;
  for (std::size_t i = 0; i < count; ++i) {
    resources->LoadResource(set->GetResourceSetItem(i));
    if ((i + 1) % kResourcesPerRedraw == 0) show(width += step);
  }
  PrepareSprites(*set);
  if (display != nullptr) {
    display->SetActive(false);
    display->SetWidth(fullWidth);
  }
}

bool Engine::ResolveSkinEntry(SkinEntry entry) {
  SkinSlot& slot = skin_[entry];
  ResourceDatabase* resources = Resources();
  if (slot.resource || slot.name.empty() || resources == nullptr) return false;
  slot.resource = resources->AcquireResource(slot.name, SkinResourceType(entry));
  return static_cast<bool>(slot.resource);
}

// A resolved entry keeps its resource when its name changes later; the
// cursor material is looked up again every time.
void Engine::ResolveUISkin() {
  for (int entry = 0; entry < kSkinEntryCount; ++entry) ResolveSkinEntry(static_cast<SkinEntry>(entry));
  ResolveCursorMaterial();
}

void Engine::ResolveCursorMaterial() {
  ResourceDatabase* resources = Resources();
  if (resources != nullptr && (!cursorMaterial_ || !cursorMaterialName_.empty())) {
    cursorMaterial_ = resources->AcquireResource(cursorMaterialName_, kMaterialResource);
  }
}

Resource* Engine::GetSkinBgSprite(int classId) const {
  if (classId == kClassWindow) return GetSkinResource(kSkinWindowBgSprite);
  for (const WidgetSprites& widget : kWidgetSprites) {
    if (widget.classId == classId) return GetSkinResource(widget.background);
  }
  return nullptr;
}

Resource* Engine::GetSkinHiliteSprite(int classId) const {
  for (const WidgetSprites& widget : kWidgetSprites) {
    if (widget.classId == classId) return GetSkinResource(widget.highlight);
  }
  return nullptr;
}

Resource* Engine::GetSliderPositionSprite() {
  ResolveSkinEntry(kSkinSliderPositionSprite);
  return GetSkinResource(kSkinSliderPositionSprite);
}

Resource* Engine::GetCheckBoxCheckedSprite() {
  ResolveSkinEntry(kSkinCheckBoxCheckedSprite);
  return GetSkinResource(kSkinCheckBoxCheckedSprite);
}

}  // namespace tge
