// The player's weapons: the choice of the next weapon by sort values,
// equipping either hand, the weapon change through lowering and raising
// the hand, and the HUD's ammunition text.
#include <memory>
#include <string>

#include "core/script/ScriptInterpreter.h"
#include "objects/gameplay/characters/Inventory.h"
#include "objects/gameplay/weapons/Ammunition.h"
#include "objects/gameplay/weapons/AmmunitionPool.h"
#include "objects/gameplay/weapons/Weapon.h"
#include "objects/ui/widgets/Text.h"
#include "tests/engine/players/PlayerFixture.h"

namespace tge::test {
namespace {

class PlayerWeaponsTest : public PlayerFPSTest {
 protected:
  void SetUp() override {
    PlayerFPSTest::SetUp();
    player = &AddPlayer({0, 5, 0});
    items = player->FindChildByName("Items");
  }

  Weapon& AddWeapon(const char* name, int sort, bool active = true) {
    auto& weapon = *static_cast<Weapon*>(CreateObject(kClassWeapon, nullptr, *items, name));
    weapon.SetInheritOrientation(false);
    RunScriptText(weapon,
                  "this.SetWeaponInventorySort(" + std::to_string(sort) + "); this.SetWeaponInventoryActive(" +
                      (active ? "1" : "0") + "); this.SetWeaponAimEnable(1);",
                  nullptr);
    return weapon;
  }

  // One frame with these presses, then none.
  void Press(std::int32_t PlayerFPSInput::*button) {
    player->next.*button = 1;
    Tick();
    player->next = {};
  }

  ScriptedPlayer* player = nullptr;
  Object* items = nullptr;
};

TEST_F(PlayerWeaponsTest, TheNextWeaponFollowsTheSortValuesInTheStepsDirectionAndWrapsAround) {
  Weapon& a = AddWeapon("A", 1);
  Weapon& b = AddWeapon("B", 3);
  Weapon& c = AddWeapon("C", 3);
  AddWeapon("D", 5, false);
  Weapon& e = AddWeapon("E", 7);
  Start();
  struct Case {
    Weapon* putAway;
    std::int32_t step;
    Weapon* next;
  };
  const Case cases[] = {
      {&b, 1, &e},        // the first sort above 3; C shares B's value
      {&b, -1, &a},       // the first below 3, going down
      {&e, 1, &a},        // nothing above 7: the lowest
      {&a, -1, &e},       // nothing below 1: the highest
      {nullptr, 1, &a},   // an empty hand takes the first of the list
      {nullptr, -1, &e},
  };
  for (const Case& c2 : cases) {
    SCOPED_TRACE(c2.putAway != nullptr ? c2.putAway->GetName() : "none");
    SCOPED_TRACE(c2.step);
    EXPECT_EQ(player->ChooseWeapon(c2.putAway, c2.step), c2.next);
  }
  for (Weapon* other : {&a, &b, &e}) other->ExecuteCommand(5790, std::make_unique<std::int32_t>(0).get());
  EXPECT_EQ(player->ChooseWeapon(&c, 1), &c) << "no other active weapon";
}

TEST_F(PlayerWeaponsTest, EquippingHoldsTheWeaponWithThePoolAndPutsTheLastOneBack) {
  Weapon& pistol = AddWeapon("Pistol", 1);
  Weapon& rifle = AddWeapon("Rifle", 2);
  Start();
  EXPECT_EQ(player->ExecuteCommand(10320, std::make_unique<std::string>("Nothing").get()), 1);
  EXPECT_EQ(player->GetRightItem(), nullptr);
  RunScriptText(*player, "this.EquipRightHand(Pistol);", nullptr);
  ASSERT_EQ(player->GetRightItem(), &pistol);
  EXPECT_EQ(pistol.GetHolder(), player);
  EXPECT_EQ(pistol.GetAmmunitionPool(), player->GetAmmunitionPool());
  EXPECT_EQ(pistol.GetParent()->GetName(), "R_Hand");
  pistol.SetPosition({0.1f, 0.2f, 0.3f}, true);
  RunScriptText(*player, "this.EquipRightHand(Rifle);", nullptr);
  EXPECT_EQ(player->GetRightItem(), &rifle);
  EXPECT_EQ(pistol.GetParent(), items);
  EXPECT_FLOAT_EQ(rifle.GetPosition().z, 0.3f);
  RunScriptText(*player, "this.EquipLeftHand(Pistol);", nullptr);
  EXPECT_EQ(player->GetLeftItem(), &pistol);
  rifle.Delete(false);
  EXPECT_EQ(player->GetRightItem(), nullptr);
  Tick();
}

TEST_F(PlayerWeaponsTest, ChangingWeaponTakesTwoPressesAndRaisesTheHandAfterTheDelay) {
  AddWeapon("Pistol", 1);
  Weapon& rifle = AddWeapon("Rifle", 2);
  Start();
  RunScriptText(*player, "this.EquipRightHand(Pistol);", nullptr);
  Wait(0.2);
  ASSERT_EQ(player->GetHandState(), PlayerFPS::kReady);
  Press(&PlayerFPSInput::pressedPadRight);
  Wait(0.2);
  EXPECT_EQ(player->GetHandState(), PlayerFPS::kLowered);
  EXPECT_NE(player->GetRightItem(), &rifle) << "the first press only lowers the hand";
  Press(&PlayerFPSInput::pressedPadRight);
  EXPECT_EQ(player->GetRightItem(), &rifle);
  EXPECT_EQ(rifle.GetHolder(), player);
  EXPECT_EQ(player->GetHandState(), PlayerFPS::kLowered);
  Wait(0.9);
  EXPECT_EQ(player->GetHandState(), PlayerFPS::kReady);
}

TEST_F(PlayerWeaponsTest, TheHudShowsBulletsOverCapacityOrThePoolAndFadesOutWithoutThem) {
  Weapon& rifle = AddWeapon("Rifle", 1);
  auto& ammunition = *CreateObject(kClassAmmunition, nullptr, rifle, "Ammunition");
  RunScriptText(ammunition, "this.SetAmmunitionShowInfo(1); this.SetAmmunitionMaxBulletsInClip(12);", nullptr);
  auto& hud = *static_cast<Inventory*>(CreateObject(kClassInventory, nullptr, *engine, "Inventory"));
  hud.SetWorld(world);
  auto& text = *static_cast<Text*>(CreateObject(kClassText, nullptr, hud, "RightWeaponInfoText"));
  Start();
  RunScriptText(ammunition, "this.SetAmmunitionBulletsInClip(7);", nullptr);
  hud.Precalculate();
  hud.SetPlayer(player);
  RunScriptText(*player, "this.EquipRightHand(Rifle);", nullptr);
  hud.Draw();
  EXPECT_EQ(text.GetText(), "7/12");
  player->GetAmmunitionPool()->SetCount(1, 40);
  RunScriptText(ammunition, "this.SetAmmunitionGroup(2);", nullptr);
  hud.Draw();
  EXPECT_EQ(text.GetText(), "7/40");
  RunScriptText(ammunition, "this.SetAmmunitionShowInfo(0);", nullptr);
  Tick(0.1);
  hud.Draw();
  EXPECT_EQ(text.GetText(), "7/40");
  const float faded = 1 - 4 * hud.GetFrameTime();
  EXPECT_LT(faded, 1);
  EXPECT_NEAR(hud.GetRightTextAlpha(), faded, 1e-4f);
  EXPECT_NEAR(text.GetForeColor().a, faded, 1e-4f);
}

}  // namespace
}  // namespace tge::test
