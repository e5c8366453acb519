// MorphMesh (class 77): draws a morph mesh resource cycling through its
// targets. Two neighbouring targets A and B are blended, A's weight running
// from 1 down to 0 at the set speed; then both step on, wrapping at the
// target count. The blend is written into the destination mesh (the morph
// mesh's base when none is named), which is drawn at each child's place.
//
// Resources are held by counted handles: the morph and destination meshes
// from their setters (after loading, from the resource pass or the first
// draw), the material from its command. A copy acquires its own again.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class MorphMesh : public Object {
 public:
  static std::span<const CommandEntry<MorphMesh>> Commands();
  static const CommandEntry<MorphMesh> kCommands[];

  MorphMesh();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;

  Resource* GetMorphMesh() const { return morph_.Get(); }
  Resource* GetMaterial() const { return material_.Get(); }
  std::uint32_t GetTargetCount() const { return targetCount_; }
  std::uint32_t GetTargetA() const { return targetA_; }
  std::uint32_t GetTargetB() const { return targetB_; }

 private:
  int SetMorphMeshCommand(CommandArgs args);
  int GetMorphMeshCommand(CommandArgs args);
  int SetDestinationCommand(CommandArgs args);
  int GetDestinationCommand(CommandArgs args);
  int SetMaterialCommand(CommandArgs args);
  int SetSpeedCommand(CommandArgs args);
  int GetSpeedCommand(CommandArgs args);

  // Acquires the morph mesh by name and keeps A and B below its target count.
  void AcquireMorphMesh();
  // The morph and destination meshes not held yet, by name: at a draw or
  // the resource pass, whichever comes first.
  void AcquireMissing();
  void CollectResources(void* set);
  // One frame of the weight; both targets step on when it runs out.
  void Advance();

  ResourceRef morph_;
  std::string morphName_;
  ResourceRef destination_;
  std::string destinationName_;
  ResourceRef material_;
  float speed_ = 1.0f;
  float weight_ = 1.0f;
  std::uint32_t targetCount_ = 0;
  std::uint32_t targetA_ = 0;
  std::uint32_t targetB_ = 1;
  std::uint32_t blendCount_ = 2;
  // Handed to the render queue, which keeps the pointers until the frame is drawn.
  std::uint32_t blendIndices_[2] = {0, 1};
  float blendWeights_[2] = {1, 0};
  std::uint32_t storedWord_ = 0;
};

void RegisterMorphMeshCommands();

}  // namespace tge
