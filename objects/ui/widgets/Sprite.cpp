// Sprite's command table, drawing and file record.
#include "objects/ui/widgets/Sprite.h"

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
// Older files keep the colour and the material name in the Sprite's part.
constexpr int kFirstVersionWithoutOwnNames = 31;

}  // namespace

// clang-format off
using S = Sprite;
constexpr CommandEntry<Sprite> Sprite::kCommands[] = {
    {6750, "SpriteMaterial", P, 0, {kValueString}, Member<&S::ForwardCommand<6542>>, Member<&S::ForwardCommand<6543>>},
    {6752, "SpriteType", P, 0, {kValueDword}, Member<&S::SetTypeCommand>, ByteGetter<&S::spriteType_, 0>},
    {6754, "SpriteColor", P, 0, {kValueColor}, FieldSetter<&S::backColor_>, FieldGetter<&S::backColor_>},
    {6756, "Sprite3DMaxDistance", P, 0, {kValueFloat}, FieldSetter<&S::maxDistance3D_>, FieldGetter<&S::maxDistance3D_>},
    {6758, "Sprite3DFadeDistance", P, 0, {kValueFloat}, FieldSetter<&S::fadeDistance3D_>, FieldGetter<&S::fadeDistance3D_>},
};

std::span<const CommandEntry<Sprite>> Sprite::Commands() { return kCommands; }
// clang-format on

Sprite::Sprite() : Window(kClassSprite) {}

int Sprite::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Sprite> handlers(kClassSprite, {kCommands}, BlockRule::kEvery);
  handlers.Run(*this, id, args);
  return Window::ExecuteCommand(id, args);
}

int Sprite::SetTypeCommand(CommandArgs args) {
  spriteType_ = args.Get<std::uint32_t>() & 0xFF;
  return 1;
}

void Sprite::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  if (spriteMaterial_ && HasFlag(kFlagActionStarted) && services != nullptr) {
    Color colour = backColor_;
    colour.a *= GetActionValue();
    services->GetRenderQueue().QueueSpriteTransformed(spriteMaterial_.Get(), GetWorldMatrix(), width_, height_,
                                                      colour, GetDrawAlignment());
  }
  Object::Draw();
}

bool Sprite::Serialize(SerializeStream& stream) {
  if (!Window::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  const bool older = version >= 1 && version < kFirstVersionWithoutOwnNames;
  if (version >= 1) stream.Serialize(spriteType_);
  if (older) stream.Serialize(backColor_);
  if (version >= 1) {
    stream.Serialize(maxDistance3D_);
    stream.Serialize(fadeDistance3D_);
  }
  if (older) stream.SerializeString(spriteName_);
  return !stream.Failed();
}

void RegisterSpriteCommands() {
  RegisterCommandTable<Sprite>(BuildCommandRegistry(), kClassSprite, Sprite::Commands());
  GetObjectFactory().RegisterType<Sprite>(kClassSprite);
}

}  // namespace tge
