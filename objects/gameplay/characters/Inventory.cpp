// Inventory's command table, bars, texts, blood splash, clock and file
// record.
#include "objects/gameplay/characters/Inventory.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "core/math/Quaternion.h"
#include "core/math/Random.h"
#include "objects/gameplay/characters/PlayerFPS.h"
#include "objects/gameplay/weapons/Ammunition.h"
#include "objects/gameplay/weapons/AmmunitionPool.h"
#include "objects/gameplay/weapons/Weapon.h"
#include "objects/ui/Input.h"
#include "objects/ui/widgets/Text.h"
#include "services/EngineServices.h"
#include "services/render/RenderQueue.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto C = CommandKind::kCommand;
constexpr int S = kCommandSetter;
constexpr float kBloodTime = 1.2f;
constexpr float kBloodSize = 320.0f;
constexpr float kBloodDepth = 1500.0f;
constexpr float kBloodMargin = 256.0f;
constexpr std::uint32_t kLeftTop = 0x12;
constexpr float kHourStep = 0.05235988f;    // 3 degrees a tenth of an hour
constexpr float kMinuteStep = 0.10471976f;  // 6 degrees
constexpr int kSpareWords = 10;

// rand() mod range, 0 when the range is empty.
float RandomBelow(float range) {
  const int whole = static_cast<int>(range);
  return whole > 0 ? static_cast<float>(Rand() % whole) : 0.0f;
}

void Roll(Object* hand, float angle) {
  if (hand == nullptr) return;
  Quaternion rotation;
  hand->SetRotation(QuaternionFromYawPitchRoll(rotation, 0, 0, angle), true);
}

void ScaleBar(Object* bar, float filled) {
  if (bar != nullptr) bar->SetScale({1, filled, 1}, true);
}

struct ClockFields {
  int hours, tenths, minutes, seconds;
};

ClockFields ReadClock(double gameTime) {
  const double s = gameTime + Inventory::kClockStart;
  const double h = std::floor(s / 3600);
  const double m = std::floor((s - 3600 * h) / 60);
  return {static_cast<int>(std::fmod(h, 24)), static_cast<int>(std::fmod(std::floor(s / 360), 120)),
          static_cast<int>(m), static_cast<int>(std::floor(s - 3600 * h - 60 * m))};
}

}  // namespace

std::string FormatGameClock(double gameTime) {
  const ClockFields clock = ReadClock(gameTime);
  char text[16];
  std::snprintf(text, sizeof(text), "%02d:%02d:%02d", clock.hours, clock.minutes, clock.seconds);
  return text;
}

// clang-format off
constexpr CommandEntry<Inventory> Inventory::kCommands[] = {
    {11000, "InventoryFadeDownPlayMovie", C, S, {kValueString128, kValueFloat}, Member<&Inventory::PlayMovieCommand>},
};

std::span<const CommandEntry<Inventory>> Inventory::Commands() { return kCommands; }
// clang-format on

Inventory::Inventory() : Object(kClassInventory) {}

int Inventory::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Inventory> handlers(kClassInventory, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) AcquireBlood(args);
  if (id == kCommandStartGame) {
    Object* root = this;
    while (root->GetParent() != nullptr) root = root->GetParent();
    Object* mission = root->FindChildByName("Mission");
    player_.Set(mission != nullptr ? static_cast<PlayerFPS*>(mission->FindChildByClass(kClassPlayerFPS)) : nullptr);
  }
  return Object::ExecuteCommand(id, args);
}

// The copy finds its own children and player.
void Inventory::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  for (ObjectRef<>* link : {&exhaustionBar_, &handExhaustionBar_, &healthBar_, &gameTimeHour_, &gameTimeMin_,
                            &gameTimeSec_}) {
    link->Reset();
  }
  for (ObjectRef<Text>* text : {&healthText_, &gameTimeText_, &leftWeaponText_, &rightWeaponText_}) text->Reset();
  player_.Reset();
}

int Inventory::PlayMovieCommand(CommandArgs args) {
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return 0;
  return services->PlayOverlayMovie(args.GetText128(), [] { return Input::MovieSkipCallback() ? 1 : 0; });
}

void Inventory::AcquireBlood(void* set) {
  EngineServices* services = GetEngineServices();
  for (int i = 0; i < kBloodCount; ++i) {
    ResourceRef& blood = blood_[static_cast<std::size_t>(i)];
    if (!blood && services != nullptr) {
      char name[32];
      std::snprintf(name, sizeof(name), "InvBlood_0%dMat", i + 1);
      blood = services->GetResources().AcquireResource(name, kMaterialResource);
    }
    static_cast<ResourceSet*>(set)->AddToResourceSet(blood.Get());
  }
}

void Inventory::Precalculate() {
  EnableUpdate();
  Object::Precalculate();
  FindChildren();
  if (EngineServices* services = GetEngineServices()) {
    screenWidth_ = services->GetScreenWidth();
    screenHeight_ = services->GetScreenHeight();
  }
}

void Inventory::FindChildren() {
  const auto text = [this](const char* name) { return static_cast<Text*>(FindChildByName(name, kClassText)); };
  healthText_.Set(text("HealthText"));
  exhaustionBar_.Set(FindChildByName("PlayerExhaustionBar"));
  handExhaustionBar_.Set(FindChildByName("PlayerHandExhaustionBar"));
  healthBar_.Set(FindChildByName("PlayerHealthBar"));
  gameTimeText_.Set(text("GameTimeText"));
  gameTimeHour_.Set(FindChildByName("GameTimeHour"));
  gameTimeMin_.Set(FindChildByName("GameTimeMin"));
  gameTimeSec_.Set(FindChildByName("GameTimeSec"));
  leftWeaponText_.Set(text("LeftWeaponInfoText"));
  rightWeaponText_.Set(text("RightWeaponInfoText"));
}

void Inventory::Update() {
  if (GetActive()) gameTime_ += GetFrameTime();
}

void Inventory::Draw() {
  if (GetActive()) {
    if (PlayerFPS* player = player_.Get()) {
      UpdateBars(*player);
      UpdateWeaponText(*player);
      if (healthBar_) UpdateHealth(*player);
    }
    if (gameTimeText_) UpdateClock();
  }
  Object::Draw();
}

void Inventory::UpdateBars(PlayerFPS& player) {
  if (!exhaustionBar_) return;
  ScaleBar(exhaustionBar_.Get(), 1 - RatioOfMaximum(player.GetExhaustion(), player.GetMaxExhaustion()));
  ScaleBar(handExhaustionBar_.Get(), 1 - RatioOfMaximum(player.GetHandExhaustion(), player.GetMaxExhaustion()));
}

// "bullets/capacity" while the right weapon's ammunition shows its count,
// fading in; else the text fades out and keeps what it said.
void Inventory::UpdateWeaponText(PlayerFPS& player) {
  AmmunitionPool* pool = player.GetAmmunitionPool();
  Text* text = rightWeaponText_.Get();
  if (pool == nullptr || text == nullptr) return;
  float rate = -1;
  Weapon* weapon = player.GetRightItem();
  Ammunition* ammunition = weapon != nullptr ? weapon->GetAmmunition() : nullptr;
  if (ammunition != nullptr && ammunition->GetShowInfo()) {
    const std::uint32_t group = ammunition->GetGroup();
    const int capacity = group != 0 ? pool->GetCount(static_cast<int>(group) - 1) : ammunition->GetMaxBulletsInClip();
    char line[32];
    std::snprintf(line, sizeof(line), "%d/%d", ammunition->GetBulletsInClip(), capacity);
    text->SetText(line, true);
    rate = 1;
  }
  rightTextAlpha_ = std::clamp(rightTextAlpha_ + GetFrameTime() * rate * 4, 0.0f, 1.0f);
  text->SetAlpha(rightTextAlpha_);
}

void Inventory::UpdateHealth(PlayerFPS& player) {
  DrawBlood();
  const float health = player.GetHealth();
  if (health == lastHealth_) return;
  if (blood_[0] && health < lastHealth_) StartBlood();
  ScaleBar(healthBar_.Get(), 1 - RatioOfMaximum(player.GetMaxHealth() - health, player.GetMaxHealth()));
  if (Text* text = healthText_.Get()) text->SetText(std::to_string(static_cast<int>(health)), true);
  lastHealth_ = health;
}

void Inventory::DrawBlood() {
  if (bloodTimer_ <= 0) return;
  bloodTimer_ -= GetFrameTime() * 4;
  const float t = bloodTimer_;
  EngineServices* services = GetEngineServices();
  if (t >= 1 || services == nullptr) return;
  const Vector3 at{bloodPosition_.x + std::sin(3 * t) * 40, bloodPosition_.y + std::sin(6 * t) * 5, kBloodDepth};
  services->GetRenderQueue().QueueSprite(blood_[static_cast<std::size_t>(bloodIndex_)].Get(), at, kBloodSize,
                                         kBloodSize, {1, 1, 1, t}, kLeftTop);
}

void Inventory::StartBlood() {
  bloodIndex_ = Rand() % kBloodCount;
  const float x = RandomBelow(static_cast<float>(screenWidth_) - kBloodMargin);
  const float y = RandomBelow(static_cast<float>(screenHeight_) - kBloodMargin);
  bloodPosition_ = {x, y, kBloodDepth};
  bloodTimer_ = kBloodTime;
}

void Inventory::UpdateClock() {
  gameTimeText_->SetText(FormatGameClock(gameTime_), true);
  const ClockFields clock = ReadClock(gameTime_);
  Roll(gameTimeHour_.Get(), static_cast<float>(clock.tenths) * kHourStep);
  Roll(gameTimeMin_.Get(), static_cast<float>(clock.minutes) * kMinuteStep);
  Roll(gameTimeSec_.Get(), static_cast<float>(clock.seconds) * kMinuteStep);
}

bool Inventory::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    stream.Serialize(savedWord_);
    for (int i = 0; i < kSpareWords; ++i) {
      std::int32_t spare = 0;
      stream.Serialize(spare);
    }
  }
  return !stream.Failed();
}

void RegisterInventoryCommands() {
  RegisterCommandTable<Inventory>(BuildCommandRegistry(), kClassInventory, Inventory::Commands());
  GetObjectFactory().RegisterType<Inventory>(kClassInventory);
}

}  // namespace tge
