// Runs script texts through their compiled steps (CompiledScript.cpp).
// Deletions asked for during a run wait until it has returned.
#include <cstdio>
#include <memory>

#include "core/Object.h"
#include "core/ObjectHooks.h"
#include "core/ObjectRecords.h"
#include "core/script/CompiledScript.h"
#include "core/script/ScriptInterpreter.h"

namespace tge {
namespace {

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

}  // namespace

void CompileStoredScript(const ObjectScript& script) {
  if (!script.compiled || script.compiled->GetText() != script.text) {
    script.compiled = std::make_shared<CompiledScript>(script.text);
    script.compiled->ReservePlans();
  }
}

int RunScriptText(Object& context, std::string_view text, Object* sender) {
  const DeletionHold hold;
  CompiledScript(text).Run(context, sender);
  return 1;
}

int RunStoredScript(Object& context, const ObjectScript& script, Object* sender) {
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
  if (script.text.empty()) return 1;
  // The copy of the pointer keeps the compiled text alive while the script
  // changes or frees its own record.
  CompileStoredScript(script);
  const std::shared_ptr<CompiledScript> compiled = script.compiled;
  const DepthLevel level;
  const DeletionHold hold;
  compiled->Run(context, sender);
  return 1;
}

}  // namespace tge
