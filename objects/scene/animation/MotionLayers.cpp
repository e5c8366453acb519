// MotionLayers' command table, the layered motion and the file record.
#include "objects/scene/animation/MotionLayers.h"

#include <cmath>
#include <string>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "core/math/Quaternion.h"
#include "core/math/Random.h"
#include "services/resources/Resource.h"

namespace tge {
namespace {

constexpr auto C = CommandKind::kCommand;
constexpr std::uint64_t kStoredLayerBytes = sizeof(Vector3) * kMotionGroupCount;

// Which amplitude group switches which term on.
struct Term {
  std::uint32_t flag;
  int amplitude;
};
constexpr Term kTerms[] = {
    {kLayerPosSin, kPosSinMul},     {kLayerPosNoise, kPosRndMul},     {kLayerRotSin, kRotSinMul},
    {kLayerRotNoise, kRotRndMul},   {kLayerScaleSin, kScaleSinMul},   {kLayerScaleNoise, kScaleRndMul},
};

float& Component(Vector3& v, int c) { return c == 0 ? v.x : c == 1 ? v.y : v.z; }
float Component(const Vector3& v, int c) { return c == 0 ? v.x : c == 1 ? v.y : v.z; }

bool IsZero(const Vector3& v) { return v.x == 0 && v.y == 0 && v.z == 0; }

// One sine and one noise term of a layer added to out, per component.
void AddWave(Vector3& out, const MotionLayer& layer, float t, std::uint32_t sineFlag, int sine,
             std::uint32_t noiseFlag, int noise) {
  const auto& g = layer.groups;
  for (int c = 0; c < 3; ++c) {
    if ((layer.flags & sineFlag) != 0) {
      Component(out, c) += std::sin(t * Component(g[sine + 2], c) + Component(g[sine], c)) * Component(g[sine + 1], c);
    }
    if ((layer.flags & noiseFlag) != 0) {
      Component(out, c) += ValueNoise1D(t * Component(g[noise + 1], c)) * Component(g[noise], c);
    }
  }
}

}  // namespace

// clang-format off
using M = MotionLayers;
constexpr CommandEntry<MotionLayers> MotionLayers::kCommands[] = {
    {3500, "SetRotSinOffs", C, 0, {kValueVector3}, Member<&M::SetGroupCommand<kRotSinOffs>>},
    {3501, "GetRotSinOffs", C, 0, {kValueVector3}, Member<&M::GetGroupCommand<kRotSinOffs>>},
    {3502, "SetRotSinMul", C, 0, {kValueVector3}, Member<&M::SetGroupCommand<kRotSinMul>>},
    {3503, "GetRotSinMul", C, 0, {kValueVector3}, Member<&M::GetGroupCommand<kRotSinMul>>},
    {3504, "SetRotSinFreq", C, 0, {kValueVector3}, Member<&M::SetGroupCommand<kRotSinFreq>>},
    {3505, "GetRotSinFreq", C, 0, {kValueVector3}, Member<&M::GetGroupCommand<kRotSinFreq>>},
    {3506, "SetRotRndMul", C, 0, {kValueVector3}, Member<&M::SetGroupCommand<kRotRndMul>>},
    {3507, "GetRotRndMul", C, 0, {kValueVector3}, Member<&M::GetGroupCommand<kRotRndMul>>},
    {3508, "SetRotRndFreq", C, 0, {kValueVector3}, Member<&M::SetGroupCommand<kRotRndFreq>>},
    {3509, "GetRotRndFreq", C, 0, {kValueVector3}, Member<&M::GetGroupCommand<kRotRndFreq>>},
    {3510, "SetPosSinOffs", C, 0, {kValueVector3}, Member<&M::SetGroupCommand<kPosSinOffs>>},
    {3511, "GetPosSinOffs", C, 0, {kValueVector3}, Member<&M::GetGroupCommand<kPosSinOffs>>},
    {3512, "SetPosSinMul", C, 0, {kValueVector3}, Member<&M::SetGroupCommand<kPosSinMul>>},
    {3513, "GetPosSinMul", C, 0, {kValueVector3}, Member<&M::GetGroupCommand<kPosSinMul>>},
    {3514, "SetPosSinFreq", C, 0, {kValueVector3}, Member<&M::SetGroupCommand<kPosSinFreq>>},
    {3515, "GetPosSinFreq", C, 0, {kValueVector3}, Member<&M::GetGroupCommand<kPosSinFreq>>},
    {3516, "SetPosRndMul", C, 0, {kValueVector3}, Member<&M::SetGroupCommand<kPosRndMul>>},
    {3517, "GetPosRndMul", C, 0, {kValueVector3}, Member<&M::GetGroupCommand<kPosRndMul>>},
    {3518, "SetPosRndFreq", C, 0, {kValueVector3}, Member<&M::SetGroupCommand<kPosRndFreq>>},
    {3519, "GetPosRndFreq", C, 0, {kValueVector3}, Member<&M::GetGroupCommand<kPosRndFreq>>},
    {3520, "AddLayer", C, 0, {}, Member<&M::AddLayerCommand>},
    {3521, "DeleteLayer", C, 0, {}, Member<&M::DeleteLayerCommand>},
    {3522, "GetLayerList", C, 0, {kValuePointer}, Member<&M::GetLayerListCommand>},
    {3523, "SetLayerList", C, 0, {kValueDword}, Member<&M::SetLayerListCommand>},
    // The getters share their setters' names: a look-up by name finds the
    // setter, the getter is reached by id.
    {3524, "SetPosVelocity", C, 0, {kValueVector3}, Member<&M::SetVelocityCommand<&M::positionVelocity_>>},
    {3525, "SetPosVelocity", C, 0, {kValueVector3}, Member<&M::GetVelocityCommand<&M::positionVelocity_>>},
    {3526, "SetRotVelocity", C, 0, {kValueVector3}, Member<&M::SetVelocityCommand<&M::rotationVelocity_>>},
    {3527, "SetRotVelocity", C, 0, {kValueVector3}, Member<&M::GetVelocityCommand<&M::rotationVelocity_>>},
};

std::span<const CommandEntry<MotionLayers>> MotionLayers::Commands() { return kCommands; }
// clang-format on

MotionLayers::MotionLayers() : Object(kClassMotionLayers) {}

// Every id goes on to the base handler, whose result is the answer.
int MotionLayers::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<MotionLayers> handlers(kClassMotionLayers, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandActionStartStep) {
    time_ = 0;
    UpdateMotion();
  } else if (id == kCommandInitializeNewObject) {
    SetInheritOrientation(false);
  }
  return Object::ExecuteCommand(id, args);
}

MotionLayer* MotionLayers::SelectedLayer() {
  const auto at = static_cast<std::uint32_t>(selected_);
  return at < layers_.size() ? &layers_[at] : nullptr;
}

template <int Group>
int MotionLayers::SetGroupCommand(CommandArgs args) {
  if (MotionLayer* layer = SelectedLayer()) layer->groups[Group] = args.Get<Vector3>();
  return 1;
}

template <int Group>
int MotionLayers::GetGroupCommand(CommandArgs args) {
  if (const MotionLayer* layer = SelectedLayer()) args.Set(layer->groups[Group]);
  return 1;
}

int MotionLayers::AddLayerCommand(CommandArgs) {
  layers_.emplace_back();
  return 1;
}

int MotionLayers::DeleteLayerCommand(CommandArgs) {
  if (SelectedLayer() != nullptr) layers_.erase(layers_.begin() + selected_);
  selected_ = -1;
  return 1;
}

int MotionLayers::GetLayerListCommand(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (std::size_t i = 0; i < layers_.size(); ++i) names.push_back("Layer " + std::to_string(i));
  return 1;
}

int MotionLayers::SetLayerListCommand(CommandArgs args) {
  selected_ = args.Get<std::int32_t>();
  return 1;
}

template <Vector3 MotionLayers::*Field>
int MotionLayers::SetVelocityCommand(CommandArgs args) {
  this->*Field = args.Get<Vector3>();
  return 1;
}

template <Vector3 MotionLayers::*Field>
int MotionLayers::GetVelocityCommand(CommandArgs args) {
  args.Set(this->*Field);
  return 1;
}

void MotionLayers::UpdateMotion() {
  if (GetTransform() == nullptr) return;
  time_ += GetActionValue() * GetFrameTime();
  const float t = time_;
  Vector3 position, angles, scale{1, 1, 1};
  Vector3Scale(position, positionVelocity_, t);
  Vector3Scale(angles, rotationVelocity_, t);
  bool scaled = false;
  for (const MotionLayer& layer : layers_) {
    AddWave(position, layer, t, kLayerPosSin, kPosSinOffs, kLayerPosNoise, kPosRndMul);
    AddWave(angles, layer, t, kLayerRotSin, kRotSinOffs, kLayerRotNoise, kRotRndMul);
    AddWave(scale, layer, t, kLayerScaleSin, kScaleSinOffs, kLayerScaleNoise, kScaleRndMul);
    scaled = scaled || (layer.flags & kLayerScaleTerms) != 0;
  }
  if (scaled) {
    SetScale(scale, false);
    SetFlag(kFlagNonUnitScale, true);
  }
  SetPosition(position, false);
  Quaternion rotation;
  SetRotation(QuaternionFromYawPitchRoll(rotation, angles.y, angles.x, angles.z), false);
  InvalidateTransform();
}

void MotionLayers::Draw() {
  if (!GetActive()) return;
  if (HasFlag(kFlagActionStarted)) UpdateMotion();
  Object::Draw();
}

// A term counts only when its amplitude is not zero.
void MotionLayers::Precalculate() {
  for (MotionLayer& layer : layers_) {
    layer.flags = 0;
    for (const Term& term : kTerms) {
      if (!IsZero(layer.groups[term.amplitude])) layer.flags |= term.flag;
    }
  }
  SetPosition({}, true);
  SetRotation({}, true);
  Object::Precalculate();
}

// The layer flags are not stored: Precalculate derives them.
bool MotionLayers::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(storedWord_);
  stream.Serialize(positionVelocity_);
  stream.Serialize(rotationVelocity_);
  auto count = static_cast<std::uint32_t>(layers_.size());
  stream.Serialize(count);
  if (!stream.IsWriting()) {
    if (stream.Failed() || !CountFitsStream(stream, count, kStoredLayerBytes)) {
      stream.MarkFailed();
      return false;
    }
    layers_.assign(count, MotionLayer{});
    selected_ = -1;
  }
  for (MotionLayer& layer : layers_) stream.Serialize(layer.groups);
  return !stream.Failed();
}

void RegisterMotionLayersCommands() {
  RegisterCommandTable<MotionLayers>(BuildCommandRegistry(), kClassMotionLayers, MotionLayers::Commands());
  GetObjectFactory().RegisterType<MotionLayers>(kClassMotionLayers);
}

}  // namespace tge
