// FilmGrain (class 11): an old-film look over the whole screen. A grain
// texture covers the screen on a quad whose texture window jumps fifteen
// times a second; with each jump six specks are drawn anew from the detail
// materials; now and then a wobbling vertical scratch from the line
// materials runs down the screen for one to three seconds. Its strength
// follows the Action value. A screen without size shows none of it.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/math/Color.h"
#include "services/RenderCommand.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class ResourceSet;

struct FilmGrainEntry {
  std::string name;
  ResourceRef material;
  float width = 32.0f;
  float height = 32.0f;
};

struct FilmGrainSpeck {
  ResourceRef material;
  Vector3 position;
  float width = 0, height = 0;
  Color colour;
};

class FilmGrain : public Object {
 public:
  static constexpr int kSpecks = 6;
  // Seconds between grain jumps.
  static constexpr float kGrainInterval = 0.06666667f;

  static std::span<const CommandEntry<FilmGrain>> Commands();
  static const CommandEntry<FilmGrain> kCommands[];

  FilmGrain();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Update() override {}
  void Draw() override;
  void Precalculate() override;

  const std::vector<FilmGrainEntry>& GetLines() const { return lines_; }
  const std::vector<FilmGrainEntry>& GetDetails() const { return details_; }
  const std::array<ScreenVertex, 4>& GetGrainQuad() const { return quad_; }
  const std::vector<FilmGrainSpeck>& GetSpecks() const { return specks_; }
  bool IsScratchShowing() const { return scratchTime_ > 0; }

 private:
  using List = std::vector<FilmGrainEntry> FilmGrain::*;
  using Index = std::int32_t FilmGrain::*;

  int SetMaterialCommand(CommandArgs args);
  int GetMaterialCommand(CommandArgs args);
  template <List Entries, Index Current>
  int AddEntryCommand(CommandArgs args);
  template <Index Current>
  int SetCurrentCommand(CommandArgs args);
  template <List Entries>
  int GetNamesCommand(CommandArgs args);
  template <List Entries, Index Current>
  int DeleteEntryCommand(CommandArgs args);
  template <auto Field>
  int SetDetailField(CommandArgs args);
  template <auto Field>
  int GetDetailField(CommandArgs args);
  FilmGrainEntry* SelectedDetail();

  void AcquireGrainMaterial();
  void CollectResources(ResourceSet& set);
  bool SerializeEntries(SerializeStream& stream, std::vector<FilmGrainEntry>& entries);
  // Moves the grain's texture window and draws the specks anew.
  void JumpGrain();
  void MakeSpecks(float strength);
  void DrawGrain(float strength, float dt);
  void DrawScratch(float strength, float dt);

  std::string materialName_;
  ResourceRef material_;
  std::vector<FilmGrainEntry> lines_;
  std::int32_t currentLine_ = 0;
  std::vector<FilmGrainEntry> details_;
  std::int32_t currentDetail_ = 0;
  float grainTimer_ = 0;
  std::array<ScreenVertex, 4> quad_{};
  std::vector<FilmGrainSpeck> specks_;
  float scratchGap_ = 0;
  float scratchTime_ = 0;
  Color scratchColour_;
  float scratchX_ = 0;
  std::uint32_t scratchIndex_ = 0;
  std::uint32_t screenWidth_ = 0, screenHeight_ = 0;
  float grainTextureWidth_ = 0;
  std::uint32_t spare_ = 0;
};

void RegisterFilmGrainCommands();

}  // namespace tge
