// Inventory (class 44): the first-person player's head-up display. At the
// start of the game it finds the mission's player; every frame it is drawn
// it scales the health and exhaustion bars, writes the health number, the
// right weapon's ammunition text and the game clock (which starts at
// 22:30), shows a blood splash when health drops, and it plays a
// full-screen overlay movie on command.
//
// Every object it works with is held weakly; children found by name are
// used as text only when they are Text widgets. A maximum of 0 fills a bar.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Vector.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class PlayerFPS;
class Text;

class Inventory : public Object {
 public:
  static constexpr int kBloodCount = 4;
  // The clock reads 22:30:00 at game time 0.
  static constexpr double kClockStart = 81000;

  static std::span<const CommandEntry<Inventory>> Commands();
  static const CommandEntry<Inventory> kCommands[];

  Inventory();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override;
  void Draw() override;
  void Precalculate() override;

  PlayerFPS* GetPlayer() const { return player_.Get(); }
  void SetPlayer(PlayerFPS* player) { player_.Set(player); }
  double GetGameTime() const { return gameTime_; }
  void SetGameTime(double seconds) { gameTime_ = seconds; }
  float GetBloodTimer() const { return bloodTimer_; }
  const Vector3& GetBloodPosition() const { return bloodPosition_; }
  float GetRightTextAlpha() const { return rightTextAlpha_; }

 private:
  int PlayMovieCommand(CommandArgs args);

  void AcquireBlood(void* set);
  void FindChildren();
  void UpdateBars(PlayerFPS& player);
  void UpdateWeaponText(PlayerFPS& player);
  void UpdateHealth(PlayerFPS& player);
  void DrawBlood();
  void StartBlood();
  void UpdateClock();

  std::array<ResourceRef, kBloodCount> blood_;
  std::int32_t bloodIndex_ = 0;
  float bloodTimer_ = 0;
  Vector3 bloodPosition_{};
  ObjectRef<> exhaustionBar_, handExhaustionBar_, healthBar_;
  ObjectRef<Text> healthText_;
  float lastHealth_ = 0;
  ObjectRef<Text> gameTimeText_;
  ObjectRef<> gameTimeHour_, gameTimeMin_, gameTimeSec_;
  double gameTime_ = 0;
  std::int32_t screenWidth_ = 0, screenHeight_ = 0;
  ObjectRef<PlayerFPS> player_;
  // Found at link like the right one; the HUD writes only the right one.
  ObjectRef<Text> leftWeaponText_;
  ObjectRef<Text> rightWeaponText_;
  float rightTextAlpha_ = 1.0f;
  std::int32_t savedWord_ = 0;
};

// "hh:mm:ss" of the clock at a game time, hours modulo 24.
std::string FormatGameClock(double gameTime);

void RegisterInventoryCommands();

}  // namespace tge
