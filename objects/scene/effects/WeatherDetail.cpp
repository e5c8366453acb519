// WeatherDetail's command table, part set-up, rain, detail layers, ground
// detail and file record.
#include "objects/scene/effects/WeatherDetail.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/WorldPhysicsHooks.h"
#include "core/files/SerializeStream.h"
#include "core/math/Random.h"
#include "objects/scene/FrameStorage.h"
#include "objects/scene/effects/Collector.h"
#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/render/ViewState.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr std::uint32_t kQuadList = 8;
constexpr float kMinDetailLevel = 0.1f;
// Drops start far below any box, so the first frame gives them their place.
constexpr float kBelowEverything = -1e30f;
constexpr int kDetailMeshNames = 100;
constexpr float kLayerStep = 0.033f;
constexpr std::uint32_t kBladeVertices = 12;
const std::uint32_t kDropColour = ColorToDword({1, 1, 1, 0.2f});

// 0 to 2 in steps of 0.0002.
float RainRandom() { return static_cast<float>(Rand() % 10000) * 0.0002f; }

float Diagonal(const AABox& box) {
  Vector3 d;
  return Vector3Length(Vector3Subtract(d, box.max, box.min));
}

Vector3 Centre(const AABox& box) {
  return {(box.min.x + box.max.x) * 0.5f, (box.min.y + box.max.y) * 0.5f, (box.min.z + box.max.z) * 0.5f};
}

// A point of the triangle: from corner 0 towards corner 1 by s, then towards
// corner 2 by t.
Vector3 PointOn(const Vector3* corners, float s, float t) {
  Vector3 p;
  Vector3Lerp(p, corners[0], corners[1], s);
  return Vector3Lerp(p, p, corners[2], t);
}

// 3 bits from the bytes of a record: h = 0xEE, h += (byte - 0x1F) ^ 0x5A.
std::uint32_t ByteHash(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::uint8_t h = 0xEE;
  for (std::size_t i = 0; i < size; ++i) h = static_cast<std::uint8_t>(h + ((bytes[i] - 0x1F) ^ 0x5A));
  return h & 7u;
}

// Brightness of ground by the triangle's category byte.
float Shade(const CollectedTriangle& record) {
  return std::min(static_cast<float>(record.triangleByte & 0xFF) / 255.0f + 0.2f, 1.0f);
}

ColourVertex At(const Vector3& p, std::uint32_t colour, float u, float v) { return {p.x, p.y, p.z, colour, u, v}; }

}  // namespace

// clang-format off
constexpr CommandEntry<WeatherDetail> WeatherDetail::kCommands[] = {
    {7750, "UseAllDetails", P, 0, {kValueBool}, LowBitFlagSetter<&WeatherDetail::flags_, kWeatherUseAllDetails>, FlagGetter<&WeatherDetail::flags_, kWeatherUseAllDetails>},
};

std::span<const CommandEntry<WeatherDetail>> WeatherDetail::Commands() { return kCommands; }

// The other switches and the layer settings: answered, never registered.
using W = WeatherDetail;
constexpr CommandEntry<WeatherDetail> WeatherDetail::kHiddenCommands[] = {
    {7752, "", P, 0, {kValueBool}, LowBitFlagSetter<&W::flags_, kWeatherRain>, FlagGetter<&W::flags_, kWeatherRain>},
    {7754, "", P, 0, {kValueString}, Member<&W::SetTextCommand<&W::nameB_>>, Member<&W::GetTextCommand<&W::nameB_>>},
    {7756, "", P, 0, {kValueString}, Member<&W::SetTextCommand<&W::nameC_>>, Member<&W::GetTextCommand<&W::nameC_>>},
    {7758, "", P, 0, {kValueBool}, LowBitFlagSetter<&W::flags_, kWeatherGroundDetail>, FlagGetter<&W::flags_, kWeatherGroundDetail>},
    {7760, "", P, 0, {kValueBool}, LowBitFlagSetter<&W::flags_, kWeatherDecals>, FlagGetter<&W::flags_, kWeatherDecals>},
    {7762, "", P, 0, {kValueBool}, LowBitFlagSetter<&W::flags_, kWeatherLayers>, FlagGetter<&W::flags_, kWeatherLayers>},
    {7764, "", P, 0, {kValueDword}, Member<&W::SetLayerIndexCommand>, Member<&W::GetLayerIndexCommand>},
    {7766, "", P, 0, {kValueString}, Member<&W::SetLayerNameCommand>, Member<&W::GetLayerNameCommand>},
    {7768, "", P, 0, {kValueColor}, Member<&W::SetLayerValueCommand>, Member<&W::GetLayerValueCommand>},
    {7770, "", P, 0, {kValueDword}, Member<&W::SetLayerWordCommand<0>>, Member<&W::GetLayerWordCommand<0>>},
    {7772, "", P, 0, {kValueDword}, Member<&W::SetLayerWordCommand<1>>, Member<&W::GetLayerWordCommand<1>>},
};

std::span<const CommandEntry<WeatherDetail>> WeatherDetail::HiddenCommands() { return kHiddenCommands; }
// clang-format on

WeatherDetail::WeatherDetail() : Object(kClassWeatherDetail), buffers_(std::make_shared<WeatherBuffers>()) {}

WeatherDetail::~WeatherDetail() { KeepUntilFrameEnds(std::move(buffers_)); }

void WeatherDetail::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  buffers_ = std::make_shared<WeatherBuffers>();
  used_ = free_ = -1;
  stamp_ = -1;
  precalculated_ = false;
}

int WeatherDetail::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<WeatherDetail> handlers(kClassWeatherDetail, {kCommands, kHiddenCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) CollectResources(args);
  return Object::ExecuteCommand(id, args);
}

template <std::string WeatherDetail::*Field>
int WeatherDetail::SetTextCommand(CommandArgs args) {
  this->*Field = args.AsString();
  return 1;
}

template <std::string WeatherDetail::*Field>
int WeatherDetail::GetTextCommand(CommandArgs args) {
  args.AsString() = this->*Field;
  return 1;
}

int WeatherDetail::SetLayerIndexCommand(CommandArgs args) {
  const std::uint32_t index = args.Get<std::uint32_t>();
  if (index < kLayerCount) currentLayer_ = index;
  return 1;
}

int WeatherDetail::GetLayerIndexCommand(CommandArgs args) {
  args.Set(currentLayer_);
  return 1;
}

int WeatherDetail::SetLayerNameCommand(CommandArgs args) {
  layers_[currentLayer_].name = args.AsString();
  layers_[currentLayer_].material.Reset();
  return 1;
}

int WeatherDetail::GetLayerNameCommand(CommandArgs args) {
  args.AsString() = layers_[currentLayer_].name;
  return 1;
}

int WeatherDetail::SetLayerValueCommand(CommandArgs args) {
  std::memcpy(layers_[currentLayer_].value, args.Data(), sizeof(DetailLayer::value));
  return 1;
}

int WeatherDetail::GetLayerValueCommand(CommandArgs args) {
  std::memcpy(args.Data(), layers_[currentLayer_].value, sizeof(DetailLayer::value));
  return 1;
}

template <int Word>
int WeatherDetail::SetLayerWordCommand(CommandArgs args) {
  layers_[currentLayer_].words[Word] = args.Get<std::uint32_t>();
  return 1;
}

template <int Word>
int WeatherDetail::GetLayerWordCommand(CommandArgs args) {
  args.Set(layers_[currentLayer_].words[Word]);
  return 1;
}

ResourceRef WeatherDetail::AcquireMaterial(const std::string& name) const {
  EngineServices* services = GetEngineServices();
  if (services == nullptr || name.empty()) return {};
  return services->GetResources().AcquireResource(name, kMaterialResource);
}

void WeatherDetail::CollectResources(void* set) {
  auto* resources = static_cast<ResourceSet*>(set);
  if (!rainMaterial_) rainMaterial_ = AcquireMaterial("ParticleRainMat");
  if (!splashMaterial_) splashMaterial_ = AcquireMaterial("ParticleRainHitMat");
  resources->AddToResourceSet(rainMaterial_.Get());
  resources->AddToResourceSet(splashMaterial_.Get());
  for (DetailLayer& layer : layers_) {
    if (!layer.material) layer.material = AcquireMaterial(layer.name);
    resources->AddToResourceSet(layer.material.Get());
  }
}

Collector* WeatherDetail::GetCollector() const { return collector_.Get(); }

void WeatherDetail::Precalculate() {
  Object::Precalculate();
  Object* child = FindChildByClass(kClassCollector);
  collector_.Set(child != nullptr ? static_cast<Collector*>(child) : Collector::GetGlobal());
  dropCount_ = kDropCount;
  splashCount_ = kSplashCount;
  precalculated_ = true;
  if (!collector_) return;
  PrepareRain();
  PrepareLayers();
  PrepareGroundDetail();
}

void WeatherDetail::PrepareRain() {
  WeatherBuffers& b = *buffers_;
  if ((flags_ & kWeatherRain) == 0 || !b.drops.empty()) return;
  b.drops.assign(dropCount_ * 3u, At({0, kBelowEverything, 0}, kDropColour, 0, 0));
  b.splashes.assign(splashCount_ * 3u, ColourVertex{});
  b.splashLives.assign(splashCount_, -1.0f);
  rainMaterial_ = AcquireMaterial("ParticleRainMat");
  splashMaterial_ = AcquireMaterial("ParticleRainHitMat");
}

void WeatherDetail::PrepareLayers() {
  WeatherBuffers& b = *buffers_;
  if ((flags_ & kWeatherLayers) == 0 || !b.layers[0].empty()) return;
  for (std::uint32_t i = 0; i < kLayerCount; ++i) {
    b.layers[i].assign(layerVertexCount_, ColourVertex{});
    if (!layers_[i].material) layers_[i].material = AcquireMaterial(layers_[i].name);
  }
}

void WeatherDetail::PrepareGroundDetail() {
  WeatherBuffers& b = *buffers_;
  EngineServices* services = GetEngineServices();
  if ((flags_ & kWeatherGroundDetail) == 0 || !b.instances.empty() || services == nullptr) return;
  flags_ &= ~kWeatherDecals;
  char name[32];
  std::snprintf(name, sizeof(name), "detail_decal_%02dMat", (flags_ & kWeatherUseAllDetails) != 0 ? 2 : 1);
  decalMaterial_ = AcquireMaterial(name);
  if (decalMaterial_) {
    flags_ |= kWeatherDecals;
    b.decals.assign(kDecalCapacity * 4u, ColourVertex{});
    b.decalCount = 0;
  }
  detailMeshes_.clear();
  for (int i = 0; i < kDetailMeshNames; ++i) {
    std::snprintf(name, sizeof(name), "det_gro_%02d", i);
    ResourceRef mesh = services->GetResources().AcquireResource(name, kMeshResource);
    if (mesh) detailMeshes_.push_back(std::move(mesh));
  }
  if (detailMeshes_.empty()) {
    flags_ &= ~kWeatherGroundDetail;
    return;
  }
  b.instances.assign(kInstanceCount, DetailInstance{});
  b.colours.assign(kInstanceCount, gfx::Material{});
  const std::size_t meshes = detailMeshes_.size();
  for (std::uint32_t i = 0; i < kInstanceCount; ++i) {
    DetailInstance& instance = b.instances[i];
    instance.mesh = detailMeshes_[meshes >= 2 ? static_cast<std::size_t>(Rand()) % (meshes - 1) : 0].Get();
    Matrix4Scaling(instance.world, 0.2f, 0.2f, 0.2f);
    instance.next = i + 1 < kInstanceCount ? static_cast<std::int32_t>(i + 1) : -1;
    b.colours[i].diffuse = b.colours[i].ambient = {1, 1, 1, 1};
  }
  used_ = -1;
  free_ = 0;
}

std::uint32_t WeatherDetail::GetPlacedCount() const {
  std::uint32_t count = 0;
  for (std::int32_t i = used_; i >= 0; i = buffers_->instances[static_cast<std::size_t>(i)].next) ++count;
  return count;
}

void WeatherDetail::Draw() {
  if (!GetActive()) return;
  Collector* collector = collector_.Get();
  EngineServices* services = GetEngineServices();
  if (collector != nullptr && services != nullptr && services->GetGraphicsDetailLevel() > kMinDetailLevel) {
    if (precalculated_) {
      PrepareRain();
      PrepareLayers();
      PrepareGroundDetail();
    }
    const auto count = static_cast<std::int64_t>(collector->GetCollectCount());
    if (count != stamp_) {
      collectorChanged_ = true;
      stamp_ = count;
    }
    if ((flags_ & kWeatherRain) != 0) DrawRain(*collector);
    if ((flags_ & kWeatherLayers) != 0) DrawLayers(*collector);
    if ((flags_ & kWeatherGroundDetail) != 0) DrawGroundDetail(*collector);
    collectorChanged_ = false;
  }
  Object::Draw();
}

void WeatherDetail::QueueTriangles(const std::vector<ColourVertex>& vertices, std::uint32_t count,
                                   Resource* material, std::uint32_t type) {
  EngineServices* services = GetEngineServices();
  if (services == nullptr || count == 0 || vertices.empty()) return;
  services->GetRenderQueue().QueuePrimitives(vertices.data(), kColourVertexFormat, type, count, Matrix4{}, material,
                                             1.0f, nullptr, nullptr, nullptr);
}

void WeatherDetail::DrawRain(const Collector& collector) {
  WorldPhysicsHooks* hooks = GetWorldPhysicsHooks();
  if (GetSpace() != nullptr && (hooks == nullptr || !hooks->IsExterior(*GetSpace()))) return;
  if (buffers_->drops.empty()) return;
  const ViewState& view = GetEngineServices()->GetView();
  const Vector3 right = view.GetCameraRight();
  Vector3 centre;
  Vector3AddScaled(centre, view.GetCameraPosition(), view.GetCameraForward(), 8.0f);
  const float dt = GetFrameTime();
  FallDrops(centre, right, dt);
  QueueTriangles(buffers_->drops, dropCount_, rainMaterial_.Get());
  if (collector.GetTriangleCount() == 0) return;
  UpdateSplashes(collector, right, dt);
  QueueTriangles(buffers_->splashes, splashCount_, splashMaterial_.Get());
}

void WeatherDetail::FallDrops(const Vector3& centre, const Vector3& right, float dt) {
  const float fall = dt * 20.0f;
  std::vector<ColourVertex>& drops = buffers_->drops;
  for (std::size_t d = 0; d + 2 < drops.size(); d += 3) {
    ColourVertex* v = &drops[d];
    for (int i = 0; i < 3; ++i) v[i].y -= fall;
    if (v[0].y >= centre.y - 1.0f) continue;
    const Vector3 top{centre.x - 6.0f + 6.0f * RainRandom(), centre.y + 3.0f + RainRandom(),
                      centre.z - 6.0f + 6.0f * RainRandom()};
    Vector3 second, third;
    Vector3AddScaled(second, top, right, 0.02f);
    Vector3AddScaled(third, top, right, -0.02f);
    second.y -= 1.2f;
    third.y -= 1.6f;
    v[0] = At(top, kDropColour, 0.5f, 0);
    v[1] = At(second, kDropColour, 1, 1);
    v[2] = At(third, kDropColour, 0, 1);
  }
}

void WeatherDetail::UpdateSplashes(const Collector& collector, const Vector3& right, float dt) {
  const float fade = dt * 6.0f;
  const std::uint32_t n = collector.GetTriangleCount();
  const auto corners = collector.GetTriangleVertices();
  const auto boxes = collector.GetTriangleBoxes();
  const auto normals = collector.GetTriangleNormals();
  WeatherBuffers& b = *buffers_;
  for (std::size_t s = 0; s < b.splashLives.size(); ++s) {
    float& life = b.splashLives[s];
    ColourVertex* v = &b.splashes[s * 3];
    life -= fade;
    const std::uint32_t colour = ColorToDword({1, 1, 1, life});
    for (int i = 0; i < 3; ++i) v[i].colour = colour;
    if (life >= 0) continue;
    std::uint32_t k = static_cast<std::uint32_t>(Rand()) % n;
    for (int pick = 0; pick < 100 && Diagonal(boxes[k]) < 0.1f; ++pick) k = static_cast<std::uint32_t>(Rand()) % n;
    if (normals[k].y <= 0.6f) continue;
    const float a = std::fabs(RainRandom() - 1.0f);
    const float c = std::fabs(RainRandom() - 1.0f);
    const Vector3 p = PointOn(&corners[k * 3u], a, c);
    Vector3 left, far;
    Vector3AddScaled(left, p, right, -0.07f);
    Vector3AddScaled(far, p, right, 0.07f);
    left.y += 0.07f;
    far.y += 0.07f;
    life = 1.2f;
    const std::uint32_t lit = ColorToDword({1, 1, 1, 1});
    v[0] = At(p, lit, 0.7f, 1.0f);
    v[1] = At(left, lit, 0, 0);
    v[2] = At(far, lit, 1, 0);
  }
}

void WeatherDetail::DrawLayers(const Collector& collector) {
  if (buffers_->layers[0].empty()) return;
  const float dt = GetFrameTime();
  for (DetailLayer& layer : layers_) {
    layer.phase[0] += dt;
    layer.phase[1] += dt * 0.5f;
  }
  layerTimer_ += dt;
  if (layerTimer_ >= kLayerStep || collectorChanged_) {
    layerTimer_ = 0;
    BuildLayers(collector);
  }
  for (std::uint32_t i = 0; i < kLayerCount; ++i) {
    QueueTriangles(buffers_->layers[i], buffers_->layerCounts[i] / 3, layers_[i].material.Get());
  }
}

// Small upright blades on the categorised triangles ahead of the camera,
// their tops swayed by the layer's two phases.
void WeatherDetail::BuildLayers(const Collector& collector) {
  WeatherBuffers& b = *buffers_;
  for (DetailLayer& layer : layers_) {
    const float swing = std::sin(2 * layer.phase[0]) + std::sin(2 * layer.phase[1]);
    layer.sway = {0.05f * swing, 0, 0.08f * swing};
  }
  b.layerCounts.fill(0);
  const ViewState& view = GetEngineServices()->GetView();
  const Vector3 eye = view.GetCameraPosition();
  const Vector3 forward = view.GetCameraForward();
  Vector3 back;
  Vector3AddScaled(back, eye, forward, -2.0f);
  const Vector3 own = GetPositionWS();
  const auto corners = collector.GetTriangleVertices();
  const auto boxes = collector.GetTriangleBoxes();
  const auto records = collector.GetTriangleRecords();
  for (std::size_t t = 0; t < records.size(); ++t) {
    const std::uint32_t bits = records[t].materialValues[0] & 0xF;
    if (bits == 0) continue;
    const std::uint32_t layer = static_cast<std::uint32_t>(__builtin_ctz(bits));
    const Vector3 centre = Centre(boxes[t]);
    Vector3 toCentre, fromBack;
    Vector3Subtract(toCentre, centre, eye);
    Vector3Subtract(fromBack, centre, back);
    if (Vector3Dot(toCentre, forward) < -4.0f || !IsWithinRadius(own, 25.0f, centre)) continue;
    if (Vector3Dot(Vector3Normalize(fromBack, fromBack), forward) < 0.6f) continue;
    std::uint32_t& count = b.layerCounts[layer];
    if (count + kBladeVertices > b.layers[layer].size()) continue;
    const Vector3* c = &corners[t * 3u];
    const Vector3 centroid{(c[0].x + c[1].x + c[2].x) / 3, (c[0].y + c[1].y + c[2].y) / 3,
                           (c[0].z + c[1].z + c[2].z) / 3};
    const float height = 0.2f + 0.05f * static_cast<float>(ByteHash(&centroid, sizeof(centroid)));
    const std::uint32_t colour = ColorToDword({1, 1, 1, 1});
    for (int blade = 0; blade < 4; ++blade) {
      const Vector3 foot = PointOn(c, 0.2f + 0.2f * static_cast<float>(blade), 0.3f);
      const Vector3 tip{foot.x + layers_[layer].sway.x, foot.y + height, foot.z + layers_[layer].sway.z};
      ColourVertex* v = &b.layers[layer][count];
      v[0] = At({foot.x - 0.05f, foot.y, foot.z}, colour, 0, 1);
      v[1] = At(tip, colour, 0.5f, 0);
      v[2] = At({foot.x + 0.05f, foot.y, foot.z}, colour, 1, 1);
      count += 3;
    }
  }
}

void WeatherDetail::DrawGroundDetail(const Collector& collector) {
  WeatherBuffers& b = *buffers_;
  if (b.instances.empty()) return;
  if (collectorChanged_) {
    if ((flags_ & kWeatherDecals) != 0) PlaceDecals(collector);
    PlaceInstances(collector);
  }
  EngineServices* services = GetEngineServices();
  const Vector3 eye = services->GetView().GetCameraPosition();
  for (std::int32_t i = used_; i >= 0; i = b.instances[static_cast<std::size_t>(i)].next) {
    DetailInstance& instance = b.instances[static_cast<std::size_t>(i)];
    gfx::Material& colour = b.colours[static_cast<std::size_t>(i)];
    Vector3 offset{instance.world.m[12] - eye.x, instance.world.m[13] - eye.y, instance.world.m[14] - eye.z};
    const float d = Vector3Length(offset);
    colour.diffuse.a = d <= 15.0f ? 1.0f : std::max(0.0f, 1.0f - (d - 15.0f) * 0.06666667f);
    if (d > 30.0f) continue;
    services->GetRenderQueue().QueueMesh(instance.mesh, instance.world, nullptr, &colour, 1.0f, nullptr);
  }
  if ((flags_ & kWeatherDecals) != 0) QueueTriangles(b.decals, b.decalCount, decalMaterial_.Get(), kQuadList);
}

// Every 16th triangle gets one small decal quad, its place and atlas cell
// from hashes of the triangle, so the same ground gets the same decals.
void WeatherDetail::PlaceDecals(const Collector& collector) {
  WeatherBuffers& b = *buffers_;
  b.decalCount = 0;
  const std::uint32_t n = collector.GetTriangleCount();
  if (n <= 16) return;
  const auto corners = collector.GetTriangleVertices();
  const auto boxes = collector.GetTriangleBoxes();
  const auto normals = collector.GetTriangleNormals();
  const auto records = collector.GetTriangleRecords();
  for (std::uint32_t t = 0; t < n && b.decalCount < kDecalCapacity; t += 16) {
    const Vector3* c = &corners[t * 3u];
    const Vector3 boxCentre = Centre(boxes[t]);
    const std::uint32_t a = ByteHash(&c[0], sizeof(Vector3));
    const std::uint32_t h = ByteHash(&boxCentre, sizeof(Vector3));
    Vector3 point = PointOn(c, static_cast<float>(a) * 0.14f * 0.8f + 0.1f, static_cast<float>(h) * 0.14f * 0.8f + 0.1f);
    const Vector3& normal = normals[t];
    Vector3AddScaled(point, point, normal, 0.01f);
    Vector3 side, along;
    Vector3Subtract(side, c[1], c[0]);
    Vector3Normalize(side, side);
    Vector3Cross(along, normal, side);
    const float v = Shade(records[t]);
    const std::uint32_t colour = ColorToDword({v, v, v, 1});
    const float u0 = static_cast<float>(a) * 0.25f, v0 = static_cast<float>(h) * 0.25f;
    const float steps[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    ColourVertex* out = &b.decals[b.decalCount * 4u];
    for (int k = 0; k < 4; ++k) {
      Vector3 corner;
      Vector3AddScaled(corner, point, side, steps[k][0] * 0.125f);
      Vector3AddScaled(corner, corner, along, steps[k][1] * 0.125f);
      out[k] = At(corner, colour, u0 + (steps[k][0] + 1) * 0.125f, v0 + (steps[k][1] + 1) * 0.125f);
    }
    ++b.decalCount;
  }
}

// Instances on ground the collector left go back; newly reached ground takes
// free ones. The triangles are walked once.
void WeatherDetail::PlaceInstances(const Collector& collector) {
  WeatherBuffers& b = *buffers_;
  const Vector3 own = GetPositionWS();
  const float radius = collector.GetTriangleRadius();
  std::int32_t* link = &used_;
  while (*link >= 0) {
    DetailInstance& instance = b.instances[static_cast<std::size_t>(*link)];
    if (IsWithinRadius(own, radius, instance.centre)) {
      link = &instance.next;
      continue;
    }
    const std::int32_t index = *link;
    *link = instance.next;
    instance.next = free_;
    free_ = index;
  }
  const bool inUse = used_ >= 0;
  const Vector3 previous = collector.GetPreviousPoint();
  const auto corners = collector.GetTriangleVertices();
  const auto boxes = collector.GetTriangleBoxes();
  const auto normals = collector.GetTriangleNormals();
  const auto records = collector.GetTriangleRecords();
  const float scale = (flags_ & kWeatherUseAllDetails) != 0 ? 2.0f : 0.4f;
  const std::uint32_t stride = (flags_ & kWeatherUseAllDetails) != 0 ? 1 : 2;
  for (std::uint32_t t = 0; t < collector.GetTriangleCount() && free_ >= 0; t += stride) {
    if (normals[t].y <= 0.7f || Diagonal(boxes[t]) <= 1.0f) continue;
    const Vector3 centre = Centre(boxes[t]);
    if (!IsWithinRadius(own, radius, centre) || (inUse && IsWithinRadius(previous, radius, centre))) continue;
    const std::int32_t index = free_;
    DetailInstance& instance = b.instances[static_cast<std::size_t>(index)];
    free_ = instance.next;
    const float s = static_cast<float>(Rand() % 100) * 0.01f * 0.8f + 0.1f;
    const float u = static_cast<float>(Rand() % 100) * 0.01f * 0.8f + 0.1f;
    const Vector3 position = PointOn(&corners[t * 3u], s, u);
    Matrix4 turn, size;
    Matrix4RotationY(turn, static_cast<float>(Rand() % 30) * 0.01f);
    Matrix4Scaling(size, scale, scale, scale);
    Matrix4Multiply(instance.world, turn, size);
    instance.world.m[12] = position.x;
    instance.world.m[13] = position.y;
    instance.world.m[14] = position.z;
    const float v = Shade(records[t]);
    b.colours[static_cast<std::size_t>(index)].diffuse = b.colours[static_cast<std::size_t>(index)].ambient = {v, v, v, 1};
    instance.centre = centre;
    instance.next = used_;
    used_ = index;
  }
}

bool WeatherDetail::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version < 1) return !stream.Failed();
  stream.Serialize(flags_);
  if (version > 56) {
    stream.Serialize(auxCount_);
    stream.SerializeString(auxName_);
    stream.Serialize(dropCount_);
    stream.SerializeString(nameB_);
    stream.SerializeString(nameC_);
    stream.Serialize(layerVertexCount_);
    if (!stream.IsWriting() && !stream.Failed() && layerVertexCount_ > kMaxLayerVertices) {
      return FormatErrorMessage("WeatherDetail %s: %u layer vertices is above %u", GetName().c_str(),
                                layerVertexCount_, kMaxLayerVertices);
    }
  }
  const std::uint32_t layers = version >= 78 ? kLayerCount : 1;
  for (std::uint32_t i = 0; i < layers; ++i) {
    if (version > 56) stream.SerializeString(layers_[i].name);
    if (version > 60) stream.Serialize(layers_[i].value);
    if (version > 63) stream.Serialize(layers_[i].words);
  }
  return !stream.Failed();
}

void RegisterWeatherDetailCommands() {
  RegisterCommandTable<WeatherDetail>(BuildCommandRegistry(), kClassWeatherDetail, WeatherDetail::Commands());
  GetObjectFactory().RegisterType<WeatherDetail>(kClassWeatherDetail);
}

}  // namespace tge
