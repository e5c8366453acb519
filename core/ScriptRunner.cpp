// Runs script texts: statements one after another, each closed by ';', and
// if / else if / else chains whose blocks hold plain statements. Braces are
// matched by counting, so a brace inside a block's text closes it, as stored
// scripts expect.
//
// Deletions asked for during a run wait until it has returned. The run also
// holds weak references to its context and sender: should either be
// destroyed all the same, "this" stops the run and "local" names nothing.
#include <array>
#include <cstdio>

#include "core/Object.h"
#include "core/ObjectHooks.h"
#include "core/ObjectRef.h"
#include "core/ScriptCondition.h"
#include "core/ScriptInterpreter.h"
#include "core/ScriptText.h"

namespace tge {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

// Copies of the texts being run, one per nesting level; they keep their
// capacity, so a warm run allocates nothing.
std::array<std::string, kMaxScriptDepth> runTexts;
int runDepth = 0;
// Scripts started under the outermost run; a script that runs two scripts
// that each run two more would otherwise take 2^depth runs.
int nestedRuns = 0;
bool runawayReported = false;

struct DepthLevel {
  DepthLevel() { ++runDepth; }
  ~DepthLevel() { --runDepth; }
  DepthLevel(const DepthLevel&) = delete;
  DepthLevel& operator=(const DepthLevel&) = delete;
};

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

class ScriptRun {
 public:
  ScriptRun(Object& context, std::string_view text, Object* sender)
      : context_(&context), sender_(sender), text_(text) {}

  void Run() {
    std::size_t pos = 0;
    for (;;) {
      pos = SkipStatementSpace(text_, pos);
      if (pos >= text_.size() || !context_) return;
      const bool goOn = StartsWithAt(text_, pos, "if") || StartsWithAt(text_, pos, "else if")
                            ? RunCondition(pos)
                            : RunStatement(pos);
      if (!goOn) return;
    }
  }

 private:
  // Runs the statement at pos; false when the run ends after it.
  bool RunStatement(std::size_t& pos) {
    const std::size_t dot = text_.find('.', pos);
    Object* target = nullptr;
    if (dot != kNone && dot - pos < kStatementPathChars) {
      target = ResolveScriptPath(*context_.Get(), text_.substr(pos, dot - pos), sender_.Get());
    }
    if (target != nullptr) ExecuteStatement(*context_.Get(), *target, text_.substr(dot + 1), sender_.Get());
    const std::size_t semicolon = text_.find(';', target != nullptr ? dot : pos);
    if (semicolon == kNone || !context_) return false;
    pos = semicolon + 1;
    return true;
  }

  // Statements up to a '}' where a statement would begin.
  void RunBlock(std::size_t pos) {
    for (;;) {
      pos = SkipStatementSpace(text_, pos);
      if (pos >= text_.size() || text_[pos] == '}' || !context_) return;
      if (!RunStatement(pos)) return;
    }
  }

  // Runs the block that opens after pos; pos goes after the first '}' from
  // the block's start. False when the text ends first.
  bool RunBlockAfter(std::size_t& pos) {
    const std::size_t open = text_.find('{', pos);
    if (open == kNone) return false;
    RunBlock(open + 1);
    const std::size_t close = text_.find('}', open + 1);
    if (close == kNone || !context_) return false;
    pos = close + 1;
    return true;
  }

  bool RunCondition(std::size_t& pos) {
    if (EvaluateCondition(*context_.Get(), text_, pos, sender_.Get())) {
      if (!RunBlockAfter(pos)) return false;
      for (;;) {
        const std::size_t next = SkipStatementSpace(text_, pos);
        if (!StartsWithAt(text_, next, "else")) return true;
        pos = SkipBraces(text_, next);
        if (pos == kNone) return false;
      }
    }
    if (!context_) return false;
    pos = SkipBraces(text_, pos);
    if (pos == kNone) return false;
    const std::size_t next = SkipStatementSpace(text_, pos);
    if (StartsWithAt(text_, next, "else") && !StartsWithAt(text_, next, "else if")) {
      pos = next;
      return RunBlockAfter(pos);
    }
    return true;
  }

  ObjectRef<> context_;
  ObjectRef<> sender_;
  std::string_view text_;
};

}  // namespace

// Objects deleted by the script are destroyed once it has returned.
int RunScriptText(Object& context, std::string_view text, Object* sender) {
  const DeletionHold hold;
  ScriptRun(context, text, sender).Run();
  return 1;
}

int RunStoredScript(Object& context, const std::string& text, Object* sender) {
  if (runDepth == 0) {
    nestedRuns = 0;
    runawayReported = false;
  }
  if (runDepth >= kMaxScriptDepth || ++nestedRuns > kMaxNestedScriptRuns) {
    if (!runawayReported) {
      std::fprintf(stderr, "Script: runaway scripts under \"%s\" (%d deep, %d runs); further runs refused\n",
                   context.GetName().c_str(), runDepth, nestedRuns);
    }
    runawayReported = true;
    return 0;
  }
  std::string& copy = runTexts[static_cast<std::size_t>(runDepth)];
  copy.assign(text);
  const DepthLevel level;
  RunScriptText(context, copy, sender);
  return 1;
}

}  // namespace tge
