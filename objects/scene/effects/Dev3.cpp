// Dev3's command table, placement and file record.
#include "objects/scene/effects/Dev3.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;

}  // namespace

// clang-format off
constexpr CommandEntry<Dev3> Dev3::kCommands[] = {
    {13500, "Dev3Material", P, 0, {kValueString}, Member<&Dev3::SetMaterialCommand>, Member<&Dev3::GetMaterialCommand>},
    {13502, "Dev3MaxParticle", P, 0, {kValueDword}, Member<&Dev3::SetMaxParticlesCommand>, FieldGetter<&Dev3::maxParticles_>},
    {13504, "Dev3SpawnVolume", P, 0, {kValueVector3}, FieldSetter<&Dev3::spawnVolume_>, FieldGetter<&Dev3::spawnVolume_>},
    {13506, "Dev3SpawnVolumeBox", P, 0, {kValueBool}, LowBitFlagSetter<&Dev3::deviceFlags_, kDev3SpawnVolumeBox>, FlagGetter<&Dev3::deviceFlags_, kDev3SpawnVolumeBox>},
    {13508, "Dev3ParticleSize", P, 0, {kValueFloat}, FieldSetter<&Dev3::particleSize_>, FieldGetter<&Dev3::particleSize_>},
    {13510, "Dev3AttractRadius", P, 0, {kValueFloat}, FieldSetter<&Dev3::attractRadius_>, FieldGetter<&Dev3::attractRadius_>},
};

std::span<const CommandEntry<Dev3>> Dev3::Commands() { return kCommands; }
// clang-format on

Dev3::Dev3() : ParticleDevice(kClassDev3, "Dev3", 100, {5.0f, 0.1f, 5.0f}) {}

int Dev3::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Dev3> handlers(kClassDev3, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) material_.Collect(*static_cast<ResourceSet*>(args));
  return Object::ExecuteCommand(id, args);
}

void Dev3::Precalculate() {
  pool_.assign(maxParticles_, Dev3Particle{});
  AllocateTriangles(maxParticles_);
  material_.Acquire();
  Object* parent = GetParent();
  link_.Set(parent != nullptr ? parent->FindChildByClass(kClassObject) : nullptr);
  const AABox box = SpawnBoxWS();
  for (Dev3Particle& particle : pool_) particle.position = RandomPointIn(box);
  Object::Precalculate();
}

bool Dev3::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(deviceFlags_);
  material_.Serialize(stream);
  SerializeMaxParticles(stream);
  stream.Serialize(spawnVolume_);
  stream.Serialize(particleSize_);
  stream.Serialize(attractRadius_);
  return !stream.Failed();
}

void RegisterDev3Commands() {
  RegisterCommandTable<Dev3>(BuildCommandRegistry(), kClassDev3, Dev3::Commands());
  GetObjectFactory().RegisterType<Dev3>(kClassDev3);
}

}  // namespace tge
