// Sky's command table, box and cloud geometry, draw and file record.
#include "objects/scene/Sky.h"

#include <cstdio>
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "platform/gfx/States.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr float kMinCloudScale = 0.001f;
// A side-0 name of base + four digits + "Mat" names the other sides.
constexpr std::size_t kSideSuffixLength = 7;
constexpr std::uint32_t kCloudPrimitives = 13;
constexpr std::uint32_t kSidePrimitives = 2;

constexpr std::array<std::array<float, 2>, 4> kSideUv{{{0.002f, 0.002f}, {0.998f, 0.002f}, {0.002f, 0.998f},
                                                       {0.998f, 0.998f}}};
// Corners of each side in units of (half dimension, height, half dimension).
constexpr std::array<std::array<std::array<float, 3>, 4>, Sky::kSides> kSideCorners{{
    {{{-1, 1, 1}, {1, 1, 1}, {-1, 0, 1}, {1, 0, 1}}},
    {{{1, 1, 1}, {1, 1, -1}, {1, 0, 1}, {1, 0, -1}}},
    {{{1, 1, -1}, {-1, 1, -1}, {1, 0, -1}, {-1, 0, -1}}},
    {{{-1, 1, -1}, {-1, 1, 1}, {-1, 0, -1}, {-1, 0, 1}}},
    {{{-1, 1, -1}, {1, 1, -1}, {-1, 1, 1}, {1, 1, 1}}},
    {{{-1, 0, 1}, {1, 0, 1}, {-1, 0, -1}, {1, 0, -1}}},
}};
// The cloud strip: an inner square and a rim that fades out at the edge.
constexpr std::array<std::array<float, 2>, 15> kCloudUv{{{0.2f, 0.2f}, {0, 0}, {0.8f, 0.2f}, {1, 0}, {0.8f, 0.8f},
                                                         {1, 1}, {0.2f, 0.8f}, {0, 1}, {0.2f, 0.2f}, {0, 0},
                                                         {0.8f, 0.2f}, {0.2f, 0.2f}, {0.2f, 0.8f}, {0.8f, 0.2f},
                                                         {0.8f, 0.8f}}};
constexpr std::array<float, 15> kCloudAlpha{1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 1, 1};

float CloudScale(float value) { return value <= 0 ? kMinCloudScale : value; }

}  // namespace

// clang-format off
constexpr CommandEntry<Sky> Sky::kCommands[] = {
    {13750, "SkyLockedToCamera", P, 0, {kValueBool}, Member<&Sky::SetLockedCommand>, Member<&Sky::GetLockedCommand>},
    {13752, "SkyHeight", P, 0, {kValueFloat}, Member<&Sky::SetBoxField<&Sky::height_>>, FieldGetter<&Sky::height_>},
    {13754, "SkyDimension", P, 0, {kValueFloat}, Member<&Sky::SetBoxField<&Sky::dimension_>>, FieldGetter<&Sky::dimension_>},
    {13756, "SkyCurrentData", P, 0, {kValueDword}, FieldSetter<&Sky::currentSide_>, FieldGetter<&Sky::currentSide_>},
    {13758, "SkyMaterial", P, 0, {kValueString}, Member<&Sky::SetMaterialCommand>, Member<&Sky::GetMaterialCommand>},
    {13760, "SkyTopColor", P, 0, {kValueColor}, Member<&Sky::SetColourField<&Sky::topColour_>>, FieldGetter<&Sky::topColour_>},
    {13762, "SkyBottomColor", P, 0, {kValueColor}, Member<&Sky::SetColourField<&Sky::bottomColour_>>, FieldGetter<&Sky::bottomColour_>},
    {13764, "ClearSkySide", C, 0, {}, Member<&Sky::ClearSideCommand>},
    {13765, "SkyCloudLayer", P, 0, {kValueDword}, FieldSetter<&Sky::currentLayer_>, FieldGetter<&Sky::currentLayer_>},
    {13767, "SkyCloudMaterial", P, 0, {kValueString}, Member<&Sky::SetCloudMaterialCommand>, Member<&Sky::GetCloudMaterialCommand>},
    {13769, "SkyCloudHeight", P, 0, {kValueFloat}, Member<&Sky::SetCloudHeightCommand>, Member<&Sky::GetLayerField<&SkyCloudLayerRecord::height>>},
    {13771, "SkyCloudDeltaU", P, 0, {kValueFloat}, Member<&Sky::SetLayerField<&SkyCloudLayerRecord::deltaU>>, Member<&Sky::GetLayerField<&SkyCloudLayerRecord::deltaU>>},
    {13773, "SkyCloudDeltaV", P, 0, {kValueFloat}, Member<&Sky::SetLayerField<&SkyCloudLayerRecord::deltaV>>, Member<&Sky::GetLayerField<&SkyCloudLayerRecord::deltaV>>},
    {13775, "SkyCloudScaleU", P, 0, {kValueFloat}, Member<&Sky::SetCloudScaleCommand<&SkyCloudLayerRecord::scaleU>>, Member<&Sky::GetLayerField<&SkyCloudLayerRecord::scaleU>>},
    {13777, "SkyCloudScaleV", P, 0, {kValueFloat}, Member<&Sky::SetCloudScaleCommand<&SkyCloudLayerRecord::scaleV>>, Member<&Sky::GetLayerField<&SkyCloudLayerRecord::scaleV>>},
    {13779, "SkyCloudColor", P, 0, {kValueColor}, Member<&Sky::SetCloudColourCommand>, Member<&Sky::GetLayerField<&SkyCloudLayerRecord::colour>>},
    {13781, "ClearSkyCloudLayer", C, 0, {}, Member<&Sky::ClearCloudLayerCommand>},
};

std::span<const CommandEntry<Sky>> Sky::Commands() { return kCommands; }
// clang-format on

Sky::Sky() : Object(kClassSky) {
  BuildSides();
  for (SkyCloudLayerRecord& layer : layers_) BuildLayer(layer);
}

int Sky::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Sky> handlers(kClassSky, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    CollectResources(*static_cast<ResourceSet*>(args));
  }
  return Object::ExecuteCommand(id, args);
}

template <auto Field>
int Sky::SetBoxField(CommandArgs args) {
  FieldSetter<Field>(*this, args);
  BuildSides();
  return 1;
}

template <auto Field>
int Sky::SetColourField(CommandArgs args) {
  FieldSetter<Field>(*this, args);
  ColourSides();
  return 1;
}

template <auto Field>
int Sky::SetLayerField(CommandArgs args) {
  if (SkyCloudLayerRecord* layer = SelectedLayer()) layer->*Field = args.Get<std::remove_reference_t<decltype(layer->*Field)>>();
  return 1;
}

template <auto Field>
int Sky::GetLayerField(CommandArgs args) {
  if (SkyCloudLayerRecord* layer = SelectedLayer()) args.Set(layer->*Field);
  return 1;
}

int Sky::SetLockedCommand(CommandArgs args) {
  flags_ = (args.Get<std::uint32_t>() & 1) != 0 ? (flags_ | kSkyLockedToCamera) : (flags_ & ~kSkyLockedToCamera);
  return 1;
}

int Sky::GetLockedCommand(CommandArgs args) {
  args.Set<std::int32_t>((flags_ & kSkyLockedToCamera) != 0 ? 1 : 0);
  return 1;
}

SkySide* Sky::SelectedSide() {
  return currentSide_ >= 0 && currentSide_ < kSides ? &sides_[std::size_t(currentSide_)] : nullptr;
}

SkyCloudLayerRecord* Sky::SelectedLayer() {
  return currentLayer_ >= 0 && currentLayer_ < kCloudLayers ? &layers_[std::size_t(currentLayer_)] : nullptr;
}

int Sky::SetMaterialCommand(CommandArgs args) {
  SkySide* side = SelectedSide();
  if (!side) return 1;
  side->name = args.AsString();
  side->material.Reset();
  side->material = AcquireServiceResource(side->name, kMaterialResource);
  if (currentSide_ == 0) FillSidesFromFirst(side->name);
  return 1;
}

void Sky::FillSidesFromFirst(const std::string& first) {
  EngineServices* services = GetEngineServices();
  if (first.size() < kSideSuffixLength + 1 || services == nullptr) return;
  const std::string base = first.substr(0, first.size() - kSideSuffixLength);
  for (int index = 1; index < kSides; ++index) {
    SkySide& side = sides_[std::size_t(index)];
    if (!side.name.empty()) continue;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%04dMat", index);
    const std::string name = base + suffix;
    if (!services->GetResources().LookupResource(name, kMaterialResource)) continue;
    side.name = name;
    side.material = AcquireServiceResource(name, kMaterialResource);
  }
}

int Sky::GetMaterialCommand(CommandArgs args) {
  if (SkySide* side = SelectedSide()) args.AsString() = side->name;
  return 1;
}

int Sky::ClearSideCommand(CommandArgs) {
  if (SkySide* side = SelectedSide()) {
    side->name.clear();
    side->material.Reset();
  }
  return 1;
}

int Sky::SetCloudMaterialCommand(CommandArgs args) {
  if (SkyCloudLayerRecord* layer = SelectedLayer()) {
    layer->name = args.AsString();
    layer->material.Reset();
    layer->material = AcquireServiceResource(layer->name, kMaterialResource);
  }
  return 1;
}

int Sky::GetCloudMaterialCommand(CommandArgs args) {
  if (SkyCloudLayerRecord* layer = SelectedLayer()) args.AsString() = layer->name;
  return 1;
}

int Sky::SetCloudHeightCommand(CommandArgs args) {
  if (SkyCloudLayerRecord* layer = SelectedLayer()) {
    layer->height = args.Get<float>();
    BuildLayer(*layer);
  }
  return 1;
}

template <auto Field>
int Sky::SetCloudScaleCommand(CommandArgs args) {
  if (SkyCloudLayerRecord* layer = SelectedLayer()) {
    layer->*Field = CloudScale(args.Get<float>());
    BuildLayer(*layer);
  }
  return 1;
}

int Sky::SetCloudColourCommand(CommandArgs args) {
  if (SkyCloudLayerRecord* layer = SelectedLayer()) {
    layer->colour = args.Get<Color>();
    ColourLayer(*layer);
  }
  return 1;
}

int Sky::ClearCloudLayerCommand(CommandArgs) {
  if (SkyCloudLayerRecord* layer = SelectedLayer()) {
    layer->name.clear();
    layer->material.Reset();
  }
  return 1;
}

void Sky::CollectResources(ResourceSet& set) {
  const auto collect = [&set](ResourceRef& material, const std::string& name) {
    if (!material && !name.empty()) material = AcquireServiceResource(name, kMaterialResource);
    set.AddToResourceSet(material.Get());
  };
  for (SkySide& side : sides_) collect(side.material, side.name);
  for (SkyCloudLayerRecord& layer : layers_) collect(layer.material, layer.name);
}

void Sky::BuildSides() {
  const float b = dimension_ / 2;
  for (int s = 0; s < kSides; ++s) {
    for (std::size_t v = 0; v < 4; ++v) {
      const auto& corner = kSideCorners[std::size_t(s)][v];
      sides_[std::size_t(s)].vertices[v] = {corner[0] * b, corner[1] * height_, corner[2] * b, 0, kSideUv[v][0],
                                            kSideUv[v][1]};
    }
  }
  ColourSides();
}

void Sky::ColourSides() {
  const std::uint32_t top = ColorToDword(topColour_), bottom = ColorToDword(bottomColour_);
  for (int s = 0; s < kSides; ++s) {
    for (std::size_t v = 0; v < 4; ++v) {
      const bool upper = s == 4 || (s < 4 && v < 2);
      sides_[std::size_t(s)].vertices[v].colour = upper ? top : bottom;
    }
  }
}

void Sky::BuildLayer(SkyCloudLayerRecord& layer) const {
  const float b = dimension_ / 2;
  for (std::size_t i = 0; i < kCloudUv.size(); ++i) {
    const float u = kCloudUv[i][0], v = kCloudUv[i][1];
    layer.vertices[i] = {(2 * u - 1) * b, layer.height, (2 * v - 1) * b, 0, u / layer.scaleU, v / layer.scaleV};
  }
  ColourLayer(layer);
}

void Sky::ColourLayer(SkyCloudLayerRecord& layer) const {
  for (std::size_t i = 0; i < kCloudUv.size(); ++i) {
    Color colour = layer.colour;
    colour.a *= kCloudAlpha[i];
    layer.vertices[i].colour = ColorToDword(colour);
  }
}

void Sky::Precalculate() {
  for (SkySide& side : sides_) side.material = AcquireServiceResource(side.name, kMaterialResource);
  for (SkyCloudLayerRecord& layer : layers_) layer.material = AcquireServiceResource(layer.name, kMaterialResource);
  BuildSides();
  for (SkyCloudLayerRecord& layer : layers_) BuildLayer(layer);
  Object::Precalculate();
}

// The camera's place is in the world; the position is the parent's.
void Sky::FollowCamera(const Vector3& camera) {
  Vector3 local = camera;
  if (Object* parent = GetParent()) {
    Matrix4 toParent;
    parent->GetInverseWorldMatrix(toParent);
    Vector3TransformCoord(local, camera, toParent);
  }
  SetPosition({local.x, GetPosition().y, local.z}, true);
}

void Sky::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  if (services != nullptr) {
    if ((flags_ & kSkyLockedToCamera) != 0) FollowCamera(services->GetView().GetCameraPosition());
    const Matrix4 world = GetWorldMatrix();
    // A sky without size scrolls nothing.
    const float step = dimension_ != 0 ? GetFrameTime() / dimension_ : 0.0f;
    RenderQueue& queue = services->GetRenderQueue();
    for (SkyCloudLayerRecord& layer : layers_) {
      if (!layer.material) continue;
      for (SkyVertex& vertex : layer.vertices) {
        vertex.u += step * layer.deltaU;
        vertex.v += step * layer.deltaV;
      }
      queue.QueuePrimitives(layer.vertices.data(), kVertexFormat, gfx::kPrimTriangleStrip, kCloudPrimitives, world,
                            layer.material.Get(), 1.0f, nullptr, nullptr, nullptr);
    }
    for (const SkySide& side : sides_) {
      if (!side.material) continue;
      queue.QueuePrimitives(side.vertices.data(), kVertexFormat, gfx::kPrimTriangleStrip, kSidePrimitives, world,
                            side.material.Get(), 1.0f, nullptr, nullptr, nullptr);
    }
  }
  Object::Draw();
}

bool Sky::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(flags_);
  stream.Serialize(height_);
  stream.Serialize(dimension_);
  stream.Serialize(topColour_);
  stream.Serialize(bottomColour_);
  for (SkySide& side : sides_) stream.SerializeString(side.name);
  for (SkyCloudLayerRecord& layer : layers_) {
    stream.SerializeString(layer.name);
    stream.Serialize(layer.deltaU);
    stream.Serialize(layer.deltaV);
    if (stream.GetVersion() >= 44) {
      stream.Serialize(layer.scaleU);
      stream.Serialize(layer.scaleV);
      layer.scaleU = CloudScale(layer.scaleU);
      layer.scaleV = CloudScale(layer.scaleV);
    }
    stream.Serialize(layer.height);
    stream.Serialize(layer.colour);
  }
  return !stream.Failed();
}

void RegisterSkyCommands() {
  RegisterCommandTable<Sky>(BuildCommandRegistry(), kClassSky, Sky::Commands());
  GetObjectFactory().RegisterType<Sky>(kClassSky);
}

}  // namespace tge
