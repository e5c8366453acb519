// PlayerRadar (class 82): a HUD widget that shows, inside its window, one
// small sprite for every tracked object within range of a player, turned
// so that the player's camera heading points up. One scene unit is one
// screen unit.
//
// The player, its camera and the tracked objects are held weakly: an
// object deleted while the radar tracks it drops out of the picture. A
// copy of a radar starts tracking nothing.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/ObjectRef.h"
#include "objects/ui/widgets/Window.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class Camera;

class PlayerRadar : public Window {
 public:
  static std::span<const CommandEntry<PlayerRadar>> Commands();
  static const CommandEntry<PlayerRadar> kCommands[];

  PlayerRadar();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;

  Object* GetPlayer() const { return player_.Get(); }
  std::size_t GetTrackedCount() const { return tracked_.size(); }
  Object* GetTracked(std::size_t index) const { return index < tracked_.size() ? tracked_[index].Get() : nullptr; }

 private:
  int SetObjectSpriteCommand(CommandArgs args);
  int SetPlayerCommand(CommandArgs args);
  int AddObjectCommand(CommandArgs args);
  int RemoveObjectCommand(CommandArgs args);

  void CollectResources(void* set);
  void QueueTracked();

  ObjectRef<> player_;
  ObjectRef<Camera> camera_;
  std::vector<ObjectRef<>> tracked_;
  float range_ = 20.0f;
  std::string objectSpriteName_;
  ResourceRef objectSprite_;
  std::int32_t savedWord_ = 0;
};

void RegisterPlayerRadarCommands();

}  // namespace tge
