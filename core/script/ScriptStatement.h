// One statement's command part, "Command(arguments)", read once from a
// script's text. What the command is depends on the target's class, so the
// look-up and the packing of constant arguments are kept for the class last
// seen and done again when another class or a changed registry comes.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>

namespace tge {

class Object;
struct StatementPlan;

class CompiledStatement {
 public:
  // text runs from after the '.' to the end of the script; it must outlive
  // the statement.
  explicit CompiledStatement(std::string_view text);
  CompiledStatement(CompiledStatement&&) noexcept;
  CompiledStatement& operator=(CompiledStatement&&) noexcept;
  ~CompiledStatement();

  // 1 when the command was sent, 0 when the statement cannot be read or sent.
  int Send(Object& context, Object& target, Object* sender);

 private:
  const StatementPlan* PlanFor(Object& target);

  std::string_view name_;
  std::string_view arguments_;
  bool readable_ = false;
  std::unique_ptr<StatementPlan> plan_;
};

}  // namespace tge
