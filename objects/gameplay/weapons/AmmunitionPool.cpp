// AmmunitionPool's command table, counters and file record.
#include "objects/gameplay/weapons/AmmunitionPool.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;
constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();

bool ValidIndex(std::int64_t index) { return index >= 0 && index < AmmunitionPool::kCounters; }

std::int32_t Clamped(std::int64_t count) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(count, 0, kMaxCount));
}

// The 0-based index of a block's 1-based pool number; -1 for none.
int PoolIndex(CommandArgs args) {
  const std::int64_t index = std::int64_t{args.Get<std::uint32_t>()} - 1;
  return ValidIndex(index) ? static_cast<int>(index) : -1;
}

}  // namespace

std::span<const CommandEntry<AmmunitionPool>> AmmunitionPool::Commands() {
  using A = AmmunitionPool;
  static const std::vector<std::string> eventNames = [] {
    std::vector<std::string> names;
    for (int i = 1; i <= kCounters; ++i) names.push_back("OnAmmunitionPoolChange" + std::to_string(i));
    return names;
  }();
  static const std::vector<CommandEntry<A>> table = [] {
    std::vector<CommandEntry<A>> entries = {
        {14000, "AmmunitionPool", P, 0, {kValueDword}, Member<&A::SetCurrentCommand>, Member<&A::GetCurrentCommand>},
        {14002, "AmmunitionPoolCurrentCount", P, 0, {kValueDword}, Member<&A::SetCurrentCountCommand>,
         Member<&A::GetCurrentCountCommand>},
        {14004, "SetAmmunitionPoolCount", C, 0, {kValueDword, kValueInt}, Member<&A::SetPoolCountCommand>},
        {14005, "GetAmmunitionPoolCount", C, kCommandGetter, {kValueDword, kValueInt}, Member<&A::GetPoolCountCommand>},
        {14006, "AddAmmunitionPoolCount", C, 0, {kValueDword, kValueInt}, Member<&A::AddPoolCountCommand>},
    };
    for (int i = 0; i < kCounters; ++i) {
      entries.push_back({kEventChangeFirst + i, eventNames[static_cast<std::size_t>(i)].c_str(), E, 0, {}});
    }
    return entries;
  }();
  return table;
}

AmmunitionPool::AmmunitionPool() : Object(kClassAmmunitionPool) {}

int AmmunitionPool::ExecuteCommand(std::uint32_t id, void* args) {
  static const CommandHandlers<AmmunitionPool> handlers(kClassAmmunitionPool, {Commands()});
  handlers.Run(*this, id, args);
  return Object::ExecuteCommand(id, args);
}

void AmmunitionPool::SetCount(int index, std::int64_t count) {
  if (!ValidIndex(index)) return;
  counts_[index] = Clamped(count);
  FireEvent(kEventChangeFirst + index, nullptr);
}

void AmmunitionPool::AddCount(int index, std::int64_t delta) {
  if (!ValidIndex(index)) return;
  counts_[index] = Clamped(std::int64_t{counts_[index]} + delta);
  FireEvent(kEventChangeFirst + index, nullptr);
}

std::int32_t AmmunitionPool::GetCount(int index) const { return ValidIndex(index) ? counts_[index] : 0; }

std::int32_t AmmunitionPool::Take(int index, std::int32_t n) {
  if (!ValidIndex(index) || n <= 0) return 0;
  const std::int32_t taken = std::clamp(counts_[index], 0, n);
  counts_[index] -= taken;
  return taken;
}

int AmmunitionPool::SetCurrentCommand(CommandArgs args) {
  current_ = args.Get<std::int32_t>();
  return 1;
}

int AmmunitionPool::GetCurrentCommand(CommandArgs args) {
  args.Set(current_);
  return 1;
}

int AmmunitionPool::SetCurrentCountCommand(CommandArgs args) {
  SetCount(current_, args.Get<std::int32_t>());
  return 1;
}

int AmmunitionPool::GetCurrentCountCommand(CommandArgs args) {
  args.Set(GetCount(current_));
  return 1;
}

int AmmunitionPool::SetPoolCountCommand(CommandArgs args) {
  SetCount(PoolIndex(args), args.Get<std::int32_t>(4));
  return 1;
}

int AmmunitionPool::GetPoolCountCommand(CommandArgs args) {
  args.Set(GetCount(PoolIndex(args)));
  return 1;
}

int AmmunitionPool::AddPoolCountCommand(CommandArgs args) {
  AddCount(PoolIndex(args), args.Get<std::int32_t>(4));
  return 1;
}

bool AmmunitionPool::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    stream.Serialize(reserved_);
    stream.Serialize(counts_);
  }
  return !stream.Failed();
}

void RegisterAmmunitionPoolCommands() {
  RegisterCommandTable<AmmunitionPool>(BuildCommandRegistry(), kClassAmmunitionPool, AmmunitionPool::Commands());
  GetObjectFactory().RegisterType<AmmunitionPool>(kClassAmmunitionPool);
}

}  // namespace tge
