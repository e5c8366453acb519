#include "objects/ui/UiHooks.h"

namespace tge {
namespace {

UiHooks* gUiHooks = nullptr;

}  // namespace

UiHooks* GetUiHooks() { return gUiHooks; }

void SetUiHooks(UiHooks* hooks) { gUiHooks = hooks; }

}  // namespace tge
