// The interpreter of the engine's command language. A script is a list of
// statements "path.Command(arguments);" with if / else if / else blocks whose
// conditions compare getter results; there are no variables, loops or
// expressions. A stored script's text is read once into steps
// (CompiledScript.h) and read again only when the text changes; paths,
// getters and commands still resolve at every run.
//
// Every failure is silent: an unresolvable path, an unknown command or an
// unreadable statement skips that statement. Text longer than the language's
// fixed limits is refused, never read past.
//
// Split by responsibility: ScriptRunner.cpp (runs and their limits),
// CompiledScript.cpp (reading a text into steps and running them),
// ScriptStatement.cpp (one statement and its argument block),
// ScriptCondition.cpp (conditions), ScriptPath.cpp (object paths),
// ObjectScripts.cpp (an object's script records and the script commands).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace tge {

class Object;
struct ObjectScript;

// Limits of the language, in characters with the terminator counted.
inline constexpr std::size_t kStatementPathChars = 1024;
inline constexpr std::size_t kPathSegmentChars = 256;
inline constexpr std::size_t kNestedGetterPathChars = 512;
inline constexpr std::size_t kConditionNameChars = 256;
inline constexpr std::size_t kConditionArgumentChars = 128;
inline constexpr std::size_t kTreePathChars = 512;
inline constexpr std::size_t kScriptBlockBytes = 1024;
// Scripts that raise events that run scripts nest at most this deep, and at
// most this many run under one outermost script; further runs are refused.
inline constexpr int kMaxScriptDepth = 32;
inline constexpr int kMaxNestedScriptRuns = 4096;

// Runs a script text once with context as "this" and sender as "local".
// Always 1.
int RunScriptText(Object& context, std::string_view text, Object* sender);
// Runs a script record's compiled text, which stays alive while the script
// changes or frees its own record; 0 when scripts are already nested too
// deep.
int RunStoredScript(Object& context, const ObjectScript& script, Object* sender);
// Compiles a record's text unless it is compiled as it stands. Whoever
// stores a text calls it, so that running the record reads nothing and
// allocates nothing; a text changed behind its back is compiled again at
// its next run.
void CompileStoredScript(const ObjectScript& script);
// Resolves a statement's or a condition's path: with a sender, "local" is
// the sender and "local/..." a path from it; anything else is resolved from
// the context.
Object* ResolveScriptPath(Object& context, std::string_view path, Object* sender);

}  // namespace tge
