// ProjectTexture (class 86): projects a material onto the level like a slide
// projector. Each frame it gathers the global collector's triangles near
// itself and queues them again with its material, whose texture coordinates
// come from a matrix that takes camera-space positions into the projector's
// frustum and on into the texture.
//
// The gathered vertices and the matrix are queued by reference: they live
// in one shared block the render queue keeps when the object goes.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Matrix4.h"
#include "objects/scene/NamedMaterial.h"

namespace tge {

struct CollectorTriangleList;

class ProjectTexture : public Object {
 public:
  static std::span<const CommandEntry<ProjectTexture>> Commands();
  static const CommandEntry<ProjectTexture> kCommands[];

  ProjectTexture();
  ~ProjectTexture() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;

  const CollectorTriangleList* GetTriangleList() const { return list_.get(); }
  // The matrix of the last draw.
  const Matrix4& GetTextureMatrix() const { return *textureMatrix_; }
  // From camera space into the texture, with the divide by projector depth
  // left to the third coordinate; false for a frustum that is no frustum.
  bool BuildTextureMatrix(Matrix4& out, const Matrix4& view);

 private:
  int SetMaterialCommand(CommandArgs args);
  int GetMaterialCommand(CommandArgs args);

  float fov_ = 1.0f;
  float aspect_ = 1.333f;
  float near_ = 0.1f;
  float far_ = 5.0f;
  NamedMaterial material_;
  std::shared_ptr<CollectorTriangleList> list_;
  std::shared_ptr<Matrix4> textureMatrix_;
  std::uint32_t spare_ = 0;
};

void RegisterProjectTextureCommands();

}  // namespace tge
