// The interpreter of the engine's command language. A script is a list of
// statements "path.Command(arguments);" with if / else if / else blocks whose
// conditions compare getter results; there are no variables, loops or
// expressions. The interpreter keeps nothing between runs and re-reads the
// text every time, so the text is the program.
//
// Every failure is silent: an unresolvable path, an unknown command or an
// unreadable statement skips that statement. Text longer than the language's
// fixed limits is refused, never read past.
//
// Split by responsibility: ScriptRunner.cpp (statements, blocks, if chains),
// ScriptStatement.cpp (one statement and its argument block),
// ScriptCondition.cpp (conditions), ScriptPath.cpp (object paths),
// ObjectScripts.cpp (an object's script records and the script commands).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace tge {

class Object;

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

// Runs a script text with context as "this" and sender as "local". The text
// must stay valid for the run (RunStoredScript copies a record's text).
// Always 1.
int RunScriptText(Object& context, std::string_view text, Object* sender);
// Runs a script record's text from a copy, so the record may be changed or
// freed by the script itself; 0 when scripts are already nested too deep.
int RunStoredScript(Object& context, const std::string& text, Object* sender);
// Sends one statement "Command(arguments)" to target; 1 when the command was
// sent, 0 when the statement cannot be read or sent.
int ExecuteStatement(Object& context, Object& target, std::string_view text, Object* sender);
// Resolves a statement's or a condition's path: with a sender, "local" is
// the sender and "local/..." a path from it; anything else is resolved from
// the context.
Object* ResolveScriptPath(Object& context, std::string_view path, Object* sender);

}  // namespace tge
