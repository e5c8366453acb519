// One statement's command part, "Command(arguments)", read once from a
// script's text. What the command is depends on the target's class, so the
// look-up and the packing of constant arguments are kept for the class last
// seen and done again when another class or a changed registry comes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace tge {

class Object;
struct StatementPlan;

class CompiledStatement {
 public:
  // Packed constant arguments up to this many bytes fit the reserved plan:
  // room for sixteen numbers.
  static constexpr std::size_t kReservedPlanBytes = 64;

  // text runs from after the '.' to the end of the script; it must outlive
  // the statement.
  explicit CompiledStatement(std::string_view text);
  CompiledStatement(CompiledStatement&&) noexcept;
  CompiledStatement& operator=(CompiledStatement&&) noexcept;
  ~CompiledStatement();

  // 1 when the command was sent, 0 when the statement cannot be read or sent.
  int Send(Object& context, Object& target, Object* sender);
  // Makes the room the first send's plan takes, so a statement of a kept
  // script allocates nothing when it first runs (unless its constant
  // arguments pack into more than kReservedPlanBytes).
  void ReservePlan();

 private:
  const StatementPlan* PlanFor(Object& target);

  std::string_view name_;
  std::string_view arguments_;
  bool readable_ = false;
  std::unique_ptr<StatementPlan> plan_;
};

}  // namespace tge
