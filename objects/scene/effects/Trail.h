// Trail (class 75): a ribbon behind a moving object. It samples its own
// world position whenever it has moved far enough, keeps a fixed pool of
// samples that age and fade from start to end colour and size over their
// lifetime, and queues them each frame as one triangle strip whose sides
// lie along the chosen axis.
//
// The live and free lists are chains of pool indices, newest sample first,
// so emptying or reallocating the pool can leave no link dangling.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Color.h"
#include "core/math/Vector.h"
#include "objects/scene/ColourVertex.h"
#include "objects/scene/NamedMaterial.h"
#include "services/resources/ResourceRef.h"

namespace tge {

struct TrailSample {
  std::int32_t next = -1;
  Vector3 position, direction;
  float age = 0;
  Color colour, colourChange;
  float halfWidth = 0, halfWidthChange = 0;
};

class Trail : public Object {
 public:
  static constexpr std::int32_t kMinSamples = 1;
  static constexpr std::int32_t kMaxSamples = 5999;

  static std::span<const CommandEntry<Trail>> Commands();
  static const CommandEntry<Trail> kCommands[];
  static std::span<const CommandEntry<Trail>> HiddenCommands();
  static const CommandEntry<Trail> kHiddenCommands[];

  Trail();
  ~Trail() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;

  std::int32_t GetMaxSamples() const { return maxSamples_; }
  // Live samples, newest first.
  std::vector<const TrailSample*> GetLiveSamples() const;

 private:
  int SetMaxSamplesCommand(CommandArgs args);
  int SetMaterialCommand(CommandArgs args);
  int GetMaterialCommand(CommandArgs args);

  void FreeStorage();
  // Every pool sample on the free list, in pool order; none live.
  void ResetLists();
  // The direction a ribbon side takes for a step d along the path.
  Vector3 SideDirection(const Vector3& d) const;
  void TakeSample(const Vector3& position);
  std::int32_t TakeFreeSample();
  // Returns sample and every older one to the free list.
  void DropFrom(std::int32_t previous, std::int32_t sample);
  void QueueRibbon(float dt, float action, const Vector3& position);

  std::int32_t maxSamples_ = 40;
  float minSampleDistance_ = 0.25f;
  float lifetime_ = 2.0f;
  float startSize_ = 0.1f, endSize_ = 0.1f;
  Color startColour_{1, 1, 1, 1}, endColour_{1, 1, 1, 0};
  NamedMaterial material_;
  std::vector<TrailSample> samples_;
  std::vector<ColourVertex> vertices_;
  std::int32_t live_ = -1;
  std::int32_t free_ = -1;
  Vector3 lastSamplePosition_;
  std::uint32_t axis_ = 0;
};

void RegisterTrailCommands();

}  // namespace tge
