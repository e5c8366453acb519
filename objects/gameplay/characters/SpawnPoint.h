// SpawnPoint (class 15): creates objects in the running scene by cloning
// templates the scene already holds. It keeps a weighted list of templates,
// each named by an object path, with per-template and overall limits and a
// spawn probability, and places the clone at its own position, at a random
// child (a random point along a child Spline), at a random offset in a box,
// or in the middle of the first-person player's Space. It can borrow the
// template list of another spawn point. Characters and simulated objects
// join the Space; other clones hang under the spawn point.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"

namespace tge {

struct SpawnObjectEntry {
  std::string path = "Tree Path";
  // The template's share of the random choice; 0 never chosen.
  std::uint32_t randWeight = 1;
  std::uint32_t maxSpawnCount = 1;
  // Not stored: counted from the last load.
  std::uint32_t spawnCount = 0;
};

struct SpawnPick;

// Where a placed clone goes.
struct SpawnPlacement {
  Vector3 position;
  Quaternion rotation;
};

class SpawnPoint : public Object {
 public:
  static constexpr std::uint32_t kUseSpawnBox = 1;
  static constexpr std::uint32_t kUseExternSpawnPoint = 2;
  static constexpr std::uint32_t kUseChildrenAsSpawnPoints = 4;
  static constexpr std::uint32_t kSpawnOnFirstTimeDrawn = 8;
  static constexpr std::uint32_t kSpawnInSpace = 0x10;
  static constexpr std::uint32_t kSpawnInPlayerSpace = 0x20;

  static std::span<const CommandEntry<SpawnPoint>> Commands();
  static const CommandEntry<SpawnPoint> kCommands[];

  SpawnPoint();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  // Children are drawn only while the spawn point is active.
  void Draw() override;
  // An inactive spawn point runs no script; ActionStart (and the first
  // draw, when asked) spawn first.
  int FireEvent(int eventId, Object* sender) override;

  // 1 when an object was created.
  int SpawnObject();

  const std::vector<SpawnObjectEntry>& GetEntries() const { return objects_; }
  std::int32_t GetCurrentSpawnCount() const { return currentSpawnCount_; }
  const Vector3& GetSpawnBox() const { return spawnBox_; }
  std::uint32_t GetSpawnFlags() const { return spawnFlags_; }

 private:
  int AddObjectCommand(CommandArgs args);
  int DeleteObjectCommand(CommandArgs args);
  int SetObjectListCommand(CommandArgs args);
  int GetObjectListCommand(CommandArgs args);
  template <auto Field>
  int SetEntryField(CommandArgs args);
  template <auto Field>
  int GetEntryField(CommandArgs args);
  int SpawnObjectCommand(CommandArgs args);

  SpawnObjectEntry* SelectedEntry();
  void CollectResources(void* set);
  bool PassesProbability() const;
  // A template of this spawn point's list, not yet counted; none when the
  // probability, a limit or the paths give none.
  std::optional<SpawnPick> ChooseTemplate();
  std::optional<SpawnPick> ChooseExternTemplate();
  // The Space a placed clone joins; null when there is none.
  Object* SpaceParent(Object* player) const;
  SpawnPlacement ComputeSpawnTransform(Object* player);
  Vector3 SpawnBoxOffset();

  std::vector<SpawnObjectEntry> objects_;
  std::int32_t selectedObject_ = -1;
  std::int32_t maxSpawnCount_ = 1;
  std::int32_t currentSpawnCount_ = 0;
  Vector3 spawnBox_{};
  std::string externSpawnPoint_;
  float minSpawnTime_ = 0;
  std::uint32_t spawnProbability_ = 100;
  std::uint32_t spawnFlags_ = 0;
};

void RegisterSpawnPointCommands();

}  // namespace tge
