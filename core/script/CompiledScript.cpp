// Reading a script text into steps and running them. The reading follows
// the language's rules to the character: statements end at the next ';',
// "if" and "else if" open conditions only where a statement could begin
// outside a block, braces are matched by counting when a branch is skipped
// but a block's own text ends at its first '}', and a block holds plain
// statements only. A step is keyed by where it begins and whether it is
// inside a block, so a text of n characters makes at most 2n steps.
#include "core/script/CompiledScript.h"

#include <unordered_map>

#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/script/ScriptInterpreter.h"
#include "core/script/ScriptText.h"

namespace tge {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

// After the '}' that closes the first brace pair from pos; npos without one.
std::size_t SkipBraces(std::string_view text, std::size_t pos) {
  pos = text.find('{', pos);
  if (pos == kNone) return kNone;
  int depth = 0;
  for (; pos < text.size(); ++pos) {
    if (text[pos] == '{') ++depth;
    if (text[pos] == '}' && --depth == 0) return pos + 1;
  }
  return kNone;
}

}  // namespace

class CompiledScript::Compiler {
 public:
  explicit Compiler(CompiledScript& script) : script_(script), text_(script.text_) {}

  void Compile() {
    script_.first_ = StepAt(false, 0);
    while (!work_.empty()) {
      const Work work = work_.back();
      work_.pop_back();
      const bool condition =
          !work.inBlock && (StartsWithAt(text_, work.pos, "if") || StartsWithAt(text_, work.pos, "else if"));
      if (condition) {
        FillCondition(work);
      } else {
        FillStatement(work);
      }
    }
  }

 private:
  struct Work {
    int step;
    bool inBlock;
    std::size_t pos;
  };

  // The step that begins at pos after blanks; kStop where the text ends, or
  // where a '}' ends a block.
  int StepAt(bool inBlock, std::size_t pos) {
    pos = SkipStatementSpace(text_, pos);
    if (pos >= text_.size() || (inBlock && text_[pos] == '}')) return kStop;
    const auto [it, added] = steps_.try_emplace(pos * 2 + (inBlock ? 1 : 0), int(script_.steps_.size()));
    if (added) {
      script_.steps_.emplace_back();
      work_.push_back({it->second, inBlock, pos});
    }
    return it->second;
  }

  // The next ';' is looked for from the '.' when the path named an object,
  // else from the statement's start.
  void FillStatement(const Work& work) {
    const std::size_t dot = text_.find('.', work.pos);
    const bool hasPath = dot != kNone && dot - work.pos < kStatementPathChars;
    const std::size_t fromStart = text_.find(';', work.pos);
    const int unresolved = fromStart == kNone ? kStop : StepAt(work.inBlock, fromStart + 1);
    int resolved = kStop;
    if (hasPath) {
      const std::size_t fromDot = text_.find(';', dot);
      resolved = fromDot == kNone ? kStop : StepAt(work.inBlock, fromDot + 1);
      script_.statements_.emplace_back(text_.substr(dot + 1));
    }
    Step& step = script_.steps_[static_cast<std::size_t>(work.step)];
    step.hasPath = hasPath;
    if (hasPath) {
      step.path = text_.substr(work.pos, dot - work.pos);
      step.index = int(script_.statements_.size()) - 1;
    }
    step.nextResolved = resolved;
    step.nextUnresolved = unresolved;
  }

  void FillCondition(const Work& work) {
    std::size_t pos = work.pos;
    const ConditionText condition = ReadCondition(text_, pos);
    const Branch onTrue = BlockBranch(pos, true);
    const Branch onFalse = FalseBranch(pos);
    script_.conditions_.push_back({condition, onTrue, onFalse});
    Step& step = script_.steps_[static_cast<std::size_t>(work.step)];
    step.isCondition = true;
    step.index = int(script_.conditions_.size()) - 1;
  }

  // The block that opens after pos, then the step after its first '}' (past
  // any else branches when they are skipped).
  Branch BlockBranch(std::size_t pos, bool skipElses) {
    Branch branch;
    const std::size_t open = text_.find('{', pos);
    if (open == kNone) return branch;
    branch.stops = false;
    branch.hasBlock = true;
    branch.block = StepAt(true, open + 1);
    const std::size_t close = text_.find('}', open + 1);
    if (close == kNone) {
      branch.next = kStop;
    } else {
      branch.next = skipElses ? AfterElses(close + 1) : StepAt(false, close + 1);
    }
    return branch;
  }

  int AfterElses(std::size_t pos) {
    for (;;) {
      const std::size_t next = SkipStatementSpace(text_, pos);
      if (!StartsWithAt(text_, next, "else")) return StepAt(false, pos);
      pos = SkipBraces(text_, next);
      if (pos == kNone) return kStop;
    }
  }

  // The skipped block, then an "else" block or the next step; an "else if"
  // is that next step and is evaluated.
  Branch FalseBranch(std::size_t pos) {
    const std::size_t after = SkipBraces(text_, pos);
    if (after == kNone) return Branch{};
    const std::size_t next = SkipStatementSpace(text_, after);
    if (StartsWithAt(text_, next, "else") && !StartsWithAt(text_, next, "else if")) {
      return BlockBranch(next, false);
    }
    return Branch{false, false, kStop, StepAt(false, after)};
  }

  CompiledScript& script_;
  std::string_view text_;
  std::unordered_map<std::size_t, int> steps_;
  std::vector<Work> work_;
};

// Holds weak references to the context and the sender: should either be
// destroyed during the run all the same, "this" stops the run and "local"
// names nothing.
class CompiledScript::Runner {
 public:
  Runner(CompiledScript& script, Object& context, Object* sender)
      : script_(script), context_(&context), sender_(sender) {}

  void RunChain(int index) {
    while (index != kStop && context_) {
      const Step& step = script_.steps_[static_cast<std::size_t>(index)];
      if (!step.isCondition) {
        index = RunStatement(step);
        continue;
      }
      const Condition& condition = script_.conditions_[static_cast<std::size_t>(step.index)];
      const bool holds = EvaluateCondition(*context_.Get(), condition.text, sender_.Get());
      const Branch& branch = holds ? condition.onTrue : condition.onFalse;
      if (branch.stops || !context_) return;
      if (branch.hasBlock) {
        RunChain(branch.block);
        if (!context_) return;
      }
      index = branch.next;
    }
  }

 private:
  int RunStatement(const Step& step) {
    Object* target = step.hasPath ? ResolveScriptPath(*context_.Get(), step.path, sender_.Get()) : nullptr;
    if (target == nullptr) return step.nextUnresolved;
    script_.statements_[static_cast<std::size_t>(step.index)].Send(*context_.Get(), *target, sender_.Get());
    return step.nextResolved;
  }

  CompiledScript& script_;
  ObjectRef<> context_;
  ObjectRef<> sender_;
};

CompiledScript::CompiledScript(std::string_view text) : text_(text) { Compiler(*this).Compile(); }

void CompiledScript::Run(Object& context, Object* sender) { Runner(*this, context, sender).RunChain(first_); }

void CompiledScript::ReservePlans() {
  for (CompiledStatement& statement : statements_) statement.ReservePlan();
}

}  // namespace tge
