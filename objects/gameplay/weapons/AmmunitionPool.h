// AmmunitionPool (class 56): a player's spare ammunition, one counter per
// ammunition group (group g is counter g - 1). Weapons take bullets from it
// when they load a clip; scripts set and add counts and react to the change
// events. Counters never go below 0 and saturate at the largest int instead
// of wrapping.
#pragma once
#include <cstdint>
#include <span>

#include "core/CommandTable.h"
#include "core/Object.h"

namespace tge {

class AmmunitionPool : public Object {
 public:
  static constexpr int kCounters = 32;
  static constexpr int kEventChangeFirst = 14007;

  static std::span<const CommandEntry<AmmunitionPool>> Commands();

  AmmunitionPool();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;

  // 0-based counter index; an index outside 0 to 31 changes nothing and
  // reads 0. Set and add raise the counter's change event; take does not.
  void SetCount(int index, std::int64_t count);
  void AddCount(int index, std::int64_t delta);
  std::int32_t GetCount(int index) const;
  // Up to n bullets out of counter index: what it had, at most n.
  std::int32_t Take(int index, std::int32_t n);

 private:
  int SetCurrentCommand(CommandArgs args);
  int GetCurrentCommand(CommandArgs args);
  int SetCurrentCountCommand(CommandArgs args);
  int GetCurrentCountCommand(CommandArgs args);
  int SetPoolCountCommand(CommandArgs args);
  int GetPoolCountCommand(CommandArgs args);
  int AddPoolCountCommand(CommandArgs args);

  std::int32_t counts_[kCounters] = {};
  std::int32_t current_ = -1;
  std::uint32_t reserved_ = 0;
};

void RegisterAmmunitionPoolCommands();

}  // namespace tge
