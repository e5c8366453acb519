// A script text read once into steps: statements with their path and
// command part, conditions with their operands, and the blocks they run.
// Which step follows a statement depends on whether its path names an
// object when it runs (the next ';' is looked for from the '.' or from the
// statement's start), so a statement keeps both; everything else the text
// decides is decided here, once. Paths, getters and commands still resolve
// at every run, since the tree changes between runs.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/script/ScriptCondition.h"
#include "core/script/ScriptStatement.h"

namespace tge {

class Object;

class CompiledScript {
 public:
  explicit CompiledScript(std::string_view text);
  CompiledScript(const CompiledScript&) = delete;
  CompiledScript& operator=(const CompiledScript&) = delete;

  const std::string& GetText() const { return text_; }
  // Runs the steps with context as "this" and sender as "local"; the caller
  // holds deletions back.
  void Run(Object& context, Object* sender);
  // Reserves what the statements' first runs would allocate; for texts
  // that are kept and run again.
  void ReservePlans();

 private:
  // A step index; kStop ends the chain of steps being run.
  static constexpr int kStop = -1;

  // What follows a condition's outcome: nothing (the run ends), or a block
  // to run first, then the step after.
  struct Branch {
    bool stops = true;
    bool hasBlock = false;
    int block = kStop;
    int next = kStop;
  };

  struct Condition {
    ConditionText text;
    Branch onTrue;
    Branch onFalse;
  };

  // A statement, or a condition (index into conditions_); kept small, since
  // a text may hold a step at almost every character.
  struct Step {
    bool isCondition = false;
    // A statement: the path before its '.', when there is one short enough.
    bool hasPath = false;
    std::string_view path;
    int index = 0;  // into statements_ or conditions_
    int nextResolved = kStop;
    int nextUnresolved = kStop;
  };

  class Compiler;
  class Runner;

  std::string text_;
  std::vector<Step> steps_;
  std::vector<CompiledStatement> statements_;
  std::vector<Condition> conditions_;
  int first_ = kStop;
};

}  // namespace tge
