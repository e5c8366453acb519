#include "objects/ui/widgets/WidgetSupport.h"

#include "objects/ui/UiHooks.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"

namespace tge {
namespace {

constexpr float kDisabledShade = 0.7f;

void StartOnce(Resource* (UiHooks::*sound)() const) {
  EngineServices* services = GetEngineServices();
  const UiHooks* hooks = GetUiHooks();
  if (services != nullptr && hooks != nullptr) services->StartSound((hooks->*sound)(), 0);
}

}  // namespace

void StartSkinActionSound() { StartOnce(&UiHooks::GetButtonActionSound); }

void StartSkinHiliteSound() { StartOnce(&UiHooks::GetButtonHiliteSound); }

void AcquireByName(ResourceRef& ref, const std::string& name, int type) {
  EngineServices* services = GetEngineServices();
  if (ref || name.empty() || services == nullptr) return;
  ref = services->GetResources().AcquireResource(name, type);
}

void ReacquireByName(ResourceRef& ref, const std::string& name, int type) {
  ref.Reset();
  AcquireByName(ref, name, type);
}

void CollectNamed(ResourceRef& ref, const std::string& name, int type, ResourceSet& set) {
  AcquireByName(ref, name, type);
  set.AddToResourceSet(ref.Get());
}

Color DecorationColour(bool enabled, float actionValue) {
  if (enabled) return Color{1, 1, 1, actionValue};
  return Color{kDisabledShade, kDisabledShade, kDisabledShade, kDisabledShade * actionValue};
}

}  // namespace tge
