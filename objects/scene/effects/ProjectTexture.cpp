// ProjectTexture's command table, texture matrix, drawing and file record.
#include "objects/scene/effects/ProjectTexture.h"

#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/scene/FrameStorage.h"
#include "objects/scene/effects/Collector.h"
#include "services/EngineServices.h"
#include "services/render/ViewState.h"
#include "services/resources/ResourceSet.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr std::uint32_t kTriangleList = 4;
constexpr std::uint32_t kListCapacity = 4000;
constexpr float kListParameter = 6.0f, kListRadius = 12.0f;
constexpr float kPi = 3.14159265f;

// Clip space into the texture: u = 0.5 x / w + 0.5, v = 0.5 - 0.5 y / w,
// with w (the projector depth) in the third coordinate, which the device
// divides by.
Matrix4 ClipToTexture() {
  Matrix4 m;
  m.m[0] = 0.5f;
  m.m[5] = -0.5f;
  m.m[10] = 0;
  m.m[12] = 0.5f;
  m.m[13] = 0.5f;
  m.m[14] = 1.0f;
  m.m[15] = 0;
  return m;
}

}  // namespace

// clang-format off
using T = ProjectTexture;
constexpr CommandEntry<ProjectTexture> ProjectTexture::kCommands[] = {
    {21500, "ProjectTextureFov", P, 0, {kValueFloat}, FieldSetter<&T::fov_>, FieldGetter<&T::fov_>},
    {21502, "ProjectTextureAspect", P, 0, {kValueFloat}, FieldSetter<&T::aspect_>, FieldGetter<&T::aspect_>},
    {21504, "ProjectTextureNear", P, 0, {kValueFloat}, FieldSetter<&T::near_>, FieldGetter<&T::near_>},
    {21506, "ProjectTextureFar", P, 0, {kValueFloat}, FieldSetter<&T::far_>, FieldGetter<&T::far_>},
    {21508, "ProjectTextureMaterial", P, 0, {kValueString}, Member<&T::SetMaterialCommand>, Member<&T::GetMaterialCommand>},
};

std::span<const CommandEntry<ProjectTexture>> ProjectTexture::Commands() { return kCommands; }
// clang-format on

ProjectTexture::ProjectTexture() : Object(kClassProjectTexture), textureMatrix_(std::make_shared<Matrix4>()) {
  *textureMatrix_ = ClipToTexture();
}

ProjectTexture::~ProjectTexture() {
  KeepUntilFrameEnds(std::move(list_));
  KeepUntilFrameEnds(std::move(textureMatrix_));
}

void ProjectTexture::CopyFrom(const Object& source) {
  list_.reset();
  textureMatrix_ = std::make_shared<Matrix4>(ClipToTexture());
  Object::CopyFrom(source);
}

int ProjectTexture::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<ProjectTexture> handlers(kClassProjectTexture, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    material_.Collect(*static_cast<ResourceSet*>(args));
  } else if (id == kCommandInitializeNewObject) {
    SetInheritOrientation(false);
  }
  return Object::ExecuteCommand(id, args);
}

int ProjectTexture::SetMaterialCommand(CommandArgs args) {
  material_.SetName(args.AsString());
  return 1;
}

int ProjectTexture::GetMaterialCommand(CommandArgs args) {
  args.AsString() = material_.GetName();
  return 1;
}

// A scene that never collects its resources still gets its material.
void ProjectTexture::Precalculate() {
  material_.Acquire();
  if (Collector::GetGlobal() != nullptr) list_ = CreateCollectorTriangleList(kListCapacity, kListParameter, kListRadius);
  Object::Precalculate();
}

bool ProjectTexture::BuildTextureMatrix(Matrix4& out, const Matrix4& view) {
  if (!(fov_ > 0 && fov_ < kPi) || !(aspect_ > 0) || !(far_ > near_)) return false;
  Matrix4 projection, toProjector, fromCamera, step;
  Matrix4PerspectiveFov(projection, fov_, aspect_, near_, far_);
  GetInverseWorldMatrix(toProjector);
  Matrix4Inverse(fromCamera, nullptr, view);
  Matrix4Multiply(step, fromCamera, toProjector);
  Matrix4Multiply(step, step, projection);
  Matrix4Multiply(out, step, ClipToTexture());
  return true;
}

void ProjectTexture::Draw() {
  if (!GetActive()) return;
  Collector* collector = Collector::GetGlobal();
  EngineServices* services = GetEngineServices();
  if (list_ != nullptr && collector != nullptr && services != nullptr &&
      BuildTextureMatrix(*textureMatrix_, services->GetView().GetViewMatrix())) {
    collector->GatherTriangles(*list_, GetPositionWS());
    const std::uint32_t white = ColorToDword({1.2f, 1.2f, 1.2f, 1.0f});
    for (std::uint32_t i = 0; i < list_->count * 3u; ++i) list_->vertices[i].colour = white;
    services->GetRenderQueue().QueuePrimitives(list_->vertices.data(), kColourVertexFormat, kTriangleList,
                                               list_->count, Matrix4{}, material_.Get(), 0, nullptr, nullptr,
                                               textureMatrix_.get());
  }
  Object::Draw();
}

bool ProjectTexture::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(spare_);
  for (float* value : {&fov_, &aspect_, &near_, &far_}) stream.Serialize(*value);
  material_.Serialize(stream);
  return !stream.Failed();
}

void RegisterProjectTextureCommands() {
  RegisterCommandTable<ProjectTexture>(BuildCommandRegistry(), kClassProjectTexture, ProjectTexture::Commands());
  GetObjectFactory().RegisterType<ProjectTexture>(kClassProjectTexture);
}

}  // namespace tge
