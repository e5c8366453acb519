// The first-person HUD: the Inventory's bars, health text, blood splash and
// clock, and the player radar's marks, file records and weak references.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/script/ScriptInterpreter.h"
#include "objects/gameplay/characters/Inventory.h"
#include "objects/gameplay/characters/PlayerFPS.h"
#include "objects/gameplay/characters/PlayerRadar.h"
#include "objects/ui/widgets/Text.h"
#include "services/RenderCommand.h"
#include "services/render/RenderQueue.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/ResourceSet.h"
#include "tests/engine/props/PropsFixture.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kHealth = 10282;
constexpr std::uint32_t kMaxHealth = 10284;
constexpr std::uint32_t kMaxExhaustion = 10300;

class HudTest : public PropsTest {
 protected:
  void SetUp() override {
    PropsTest::SetUp();
    GetEngineServices()->SetScreenSize(800, 600);
  }

  void AddMaterial(const std::string& name) {
    auto material = std::make_unique<MaterialResource>();
    material->SetName(name);
    GetEngineServices()->GetResources().RegisterResource(std::move(material));
  }

  RenderQueue& Queue() { return GetEngineServices()->GetRenderQueue(); }

  // The centres of the screen quads queued in the overlay list.
  std::vector<Vector3> QuadCentres() {
    std::vector<Vector3> centres;
    for (const RenderCommand* c = Queue().GetList(kListOverlay); c != nullptr; c = c->next) {
      if (c->kind != RenderCommandKind::kScreenQuad) continue;
      const auto& quad = static_cast<const ScreenQuadCommand&>(*c);
      Vector3 sum{};
      for (const ScreenVertex& v : quad.vertices) sum = {sum.x + v.x / 4, sum.y + v.y / 4, 0};
      centres.push_back(sum);
    }
    return centres;
  }

  template <class T>
  static void Set(Object& object, std::uint32_t id, T value) {
    object.ExecuteCommand(id, &value);
  }

  Object& Plain(Object& parent, const char* name) {
    Object& object = *CreateObject(kClassObject, nullptr, parent, name);
    object.SetInheritOrientation(false);
    return object;
  }
};

class InventoryTest : public HudTest {
 protected:
  void SetUp() override {
    HudTest::SetUp();
    Object& mission = Plain(*engine, "Mission");
    player = static_cast<PlayerFPS*>(CreateObject(kClassPlayerFPS, nullptr, mission, "Player"));
    hud = static_cast<Inventory*>(CreateObject(kClassInventory, nullptr, *engine, "Inventory"));
    hud->SetWorld(world);
    for (const char* bar : {"PlayerExhaustionBar", "PlayerHandExhaustionBar", "PlayerHealthBar"}) Plain(*hud, bar);
    for (const char* text : {"HealthText", "GameTimeText"}) CreateObject(kClassText, nullptr, *hud, text);
    for (const char* hand : {"GameTimeHour", "GameTimeMin", "GameTimeSec"}) Plain(*hud, hand);
  }

  // Links the HUD, loads its blood and starts the game.
  void StartHud() {
    for (int i = 1; i <= Inventory::kBloodCount; ++i) AddMaterial("InvBlood_0" + std::to_string(i) + "Mat");
    ResourceSet set(false, 16);
    hud->ExecuteCommand(11, &set);
    hud->Precalculate();
    hud->ExecuteCommand(190, nullptr);
  }

  const std::string& TextOf(const char* name) { return static_cast<Text*>(hud->FindChildByName(name))->GetText(); }
  float BarOf(const char* name) { return hud->FindChildByName(name)->GetScale().y; }

  PlayerFPS* player = nullptr;
  Inventory* hud = nullptr;
};

TEST_F(InventoryTest, TheClockStartsAtHalfPastTenAndWrapsEveryDay) {
  struct Case {
    double seconds;
    const char* text;
  };
  for (const Case& c : {Case{0, "22:30:00"}, Case{5400, "00:00:00"}, Case{91800, "00:00:00"},
                        Case{91800 + 3725, "01:02:05"}}) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(FormatGameClock(c.seconds), c.text);
  }
  StartHud();
  hud->SetGameTime(5400 + 45 * 60 + 30);
  hud->Draw();
  EXPECT_EQ(TextOf("GameTimeText"), "00:45:30");
  const Quaternion minute = hud->FindChildByName("GameTimeMin")->GetRotation();
  EXPECT_NEAR(2 * std::atan2(minute.z, minute.w), 45 * 0.10471976f, 1e-4f);
}

TEST_F(InventoryTest, TheFirstFrameSetsBarsAndTextAndOnlyADropStartsTheBlood) {
  StartHud();
  ASSERT_EQ(hud->GetPlayer(), player);
  Set(*player, kHealth, 80.0f);
  hud->Draw();
  EXPECT_FLOAT_EQ(BarOf("PlayerHealthBar"), 0.8f);
  EXPECT_EQ(TextOf("HealthText"), "80");
  EXPECT_FLOAT_EQ(hud->GetBloodTimer(), 0) << "last health starts at 0: no splash";
  Set(*player, kHealth, 90.5f);
  hud->Draw();
  EXPECT_EQ(TextOf("HealthText"), "90");
  EXPECT_FLOAT_EQ(hud->GetBloodTimer(), 0) << "a rise shows no blood";
  Set(*player, kHealth, 40.0f);
  hud->Draw();
  EXPECT_FLOAT_EQ(hud->GetBloodTimer(), 1.2f);
  EXPECT_FLOAT_EQ(BarOf("PlayerHealthBar"), 0.4f);
}

TEST_F(InventoryTest, MaximaOfZeroFillTheBarsAndAScreenOf256PutsTheBloodAtTheCorner) {
  GetEngineServices()->SetScreenSize(256, 256);
  StartHud();
  Set(*player, kMaxHealth, 0.0f);
  Set(*player, kMaxExhaustion, 0.0f);
  hud->Draw();
  Set(*player, kHealth, 10.0f);
  hud->Draw();
  for (const char* bar : {"PlayerExhaustionBar", "PlayerHandExhaustionBar", "PlayerHealthBar"}) {
    SCOPED_TRACE(bar);
    EXPECT_TRUE(std::isfinite(BarOf(bar)));
  }
  EXPECT_FLOAT_EQ(BarOf("PlayerExhaustionBar"), 0);
  EXPECT_FLOAT_EQ(hud->GetBloodPosition().x, 0);
  EXPECT_FLOAT_EQ(hud->GetBloodPosition().y, 0);
}

TEST_F(InventoryTest, TextsOfTheWrongClassAreLeftAloneAndTheRecordRoundTrips) {
  hud->FindChildByName("HealthText")->SetName("Other");
  Plain(*hud, "HealthText");
  StartHud();
  hud->Draw();
  const std::vector<std::uint8_t> first = SaveRecord(*hud);
  std::unique_ptr<Inventory> loaded = LoadRecord<Inventory>(kClassInventory, first);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(SaveRecord(*loaded), first);
  player->Delete(false);
  hud->Draw();
  EXPECT_EQ(hud->GetPlayer(), nullptr);
}

class RadarTest : public HudTest {
 protected:
  void SetUp() override {
    HudTest::SetUp();
    AddMaterial("Mark");
    Object& player = Plain(*engine, "Hero");
    player.SetPosition({10, 0, 10}, true);
    camera = CreateObject(kClassCamera, nullptr, player, "Camera");
    camera->SetInheritOrientation(false);
    radar = static_cast<PlayerRadar*>(CreateObject(kClassPlayerRadar, nullptr, *engine, "Radar"));
    radar->SetInheritOrientation(false);
    radar->SetPosition({100, 100, 1}, true);
    radar->SetWidth(200);
    RunScriptText(*radar, "this.SetPlayerRadarObjectSprite(Mark); this.SetPlayerRadarPlayer(\"/Hero\");", nullptr);
    radar->Precalculate();
  }

  Object& Track(const char* name, const Vector3& at) {
    Object& object = Plain(*engine, name);
    object.SetPosition(at, true);
    RunScriptText(*radar, "this.AddPlayerRadarObject(\"/" + std::string(name) + "\");", nullptr);
    return object;
  }

  std::vector<Vector3> Marks() {
    Queue().Reset();
    radar->Draw();
    return QuadCentres();
  }

  Object* camera = nullptr;
  PlayerRadar* radar = nullptr;
};

TEST_F(RadarTest, MarksTurnWithTheCameraHeadingAndStopShortOfTheRange) {
  Track("Crate", {13, 0, 14});
  Track("Edge", {30, 0, 10});  // exactly 20 away
  const ScreenRect& rect = radar->GetScreenRect();
  const float cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
  struct Case {
    Vector3 cameraAt;  // relative to the player: its heading
    float x, y;
  };
  for (const Case& c : {Case{{0, 0, 1}, cx - 3, cy + 4}, Case{{1, 0, 0}, cx + 4, cy + 3}}) {
    SCOPED_TRACE(c.x - cx);
    camera->SetPosition(c.cameraAt, true);
    const std::vector<Vector3> marks = Marks();
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_NEAR(marks[0].x, c.x, 1.0f);
    EXPECT_NEAR(marks[0].y, c.y, 1.0f);
  }
}

TEST_F(RadarTest, RemovingTakesTheFirstOfANameAndDeletedOrCopiedTrackingIsSafe) {
  Track("Crate", {11, 0, 10}).SetName("Box");
  Object& second = Track("Crate2", {12, 0, 10});
  second.SetName("Box");
  Track("Barrel", {13, 0, 10});
  RunScriptText(*radar, "this.RemovePlayerRadarObject(Nobody); this.RemovePlayerRadarObject(Box);", nullptr);
  ASSERT_EQ(radar->GetTrackedCount(), 2u);
  EXPECT_EQ(radar->GetTracked(0), &second);
  std::unique_ptr<Object> copy = CreateObject(kClassPlayerRadar, radar, "Copy");
  EXPECT_EQ(static_cast<PlayerRadar&>(*copy).GetTrackedCount(), 0u);
  second.Delete(false);
  EXPECT_EQ(Marks().size(), 1u);
  engine->FindChildByName("Hero")->Delete(false);
  EXPECT_TRUE(Marks().empty());
}

TEST_F(RadarTest, ThePlayerWithoutACameraDrawsNothingAndTheRecordRoundTrips) {
  Track("Crate", {11, 0, 10});
  camera->Delete(false);
  RunScriptText(*radar, "this.SetPlayerRadarPlayer(\"/Hero\"); this.SetPlayerRadarRange(35);", nullptr);
  EXPECT_TRUE(Marks().empty());
  Object& fresh = *CreateObject(kClassPlayerRadar, nullptr, *engine, "Fresh");
  RunScriptText(fresh, "this.SetPlayerRadarObjectSprite(Mark); this.SetPlayerRadarRange(35);", nullptr);
  const std::vector<std::uint8_t> first = SaveRecord(fresh);
  std::unique_ptr<PlayerRadar> loaded = LoadRecord<PlayerRadar>(kClassPlayerRadar, first);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(SaveRecord(*loaded), first);
}

}  // namespace
}  // namespace tge::test
