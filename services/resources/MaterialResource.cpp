#include "services/resources/MaterialResource.h"

#include "core/files/SerializeStream.h"
#include "services/RenderDevice.h"

namespace tge {
namespace {

// The smallest stored texture entry: an empty name's length word.
constexpr std::uint64_t kMinTextureEntryBytes = 4;

}  // namespace

// A handed-out material dies with its last release, mid-frame as well; a
// later material made at the same address must not pass for the current one.
MaterialResource::~MaterialResource() {
  RenderDevice* device = GetRenderDevice();
  if (device && device->Material().current == this) device->Material().current = nullptr;
}

int MaterialResource::Load() {
  int result = 1;
  for (Resource* texture : textures) {
    if (texture && !texture->Load()) result = 0;
  }
  return result;
}

void MaterialResource::ForEachCountedReference(const Visitor& visit) {
  for (Resource* texture : textures) {
    if (texture) visit(*texture);
  }
}

void MaterialResource::ForEachDependency(const Visitor& visit) { ForEachCountedReference(visit); }

bool MaterialResource::SerializeFields(SerializeStream& stream, const ResourceDatabase& database) {
  stream.SerializeDword(&flags);
  if (!(flags & kMaterialNoColors)) {
    stream.Serialize(colors.diffuse);
    stream.Serialize(colors.ambient);
    stream.Serialize(colors.specular);
    stream.Serialize(colors.emissive);
    stream.SerializeDword(&colors.power);
    if (!(flags & kMaterialKeepAlpha)) colors.diffuse.a = 1.0f;
  }
  stream.SerializeDword(&materialType);
  if (stream.GetVersion() >= 6) stream.SerializeDwords(values, 2);
  auto count = static_cast<std::uint32_t>(textures.size());
  stream.SerializeDword(&count);
  if (!CountFitsStream(stream, count, kMinTextureEntryBytes)) return false;
  textures.resize(count);
  for (Resource*& texture : textures) SerializeResourceName(stream, database, texture, kTextureResource, "No Texture");
  flags |= kMaterialRecordDone;
  return true;
}

Resource* GetMaterialTexture(Resource* material, std::size_t index) {
  auto* m = ResourceCast<MaterialResource>(material);
  return m && index < m->textures.size() ? m->textures[index] : nullptr;
}

void SetMaterialTexture(Resource* material, std::size_t index, Resource* texture) {
  auto* m = ResourceCast<MaterialResource>(material);
  if (!m) return;
  if (index >= m->textures.size()) m->textures.resize(index + 1);
  m->textures[index] = texture;
}

void SetMaterialFog(Resource* material, bool fog) {
  if (auto* m = ResourceCast<MaterialResource>(material)) {
    m->flags = fog ? (m->flags | kMaterialFog) : (m->flags & ~kMaterialFog);
  }
}

void SetMaterialType(Resource* material, std::uint32_t type) {
  auto* m = ResourceCast<MaterialResource>(material);
  if (!m) return;
  m->materialType = type;
  if (type != 0) m->flags &= ~std::uint32_t{kMaterialDefaultType};
}

}  // namespace tge
