// The one last-error text of the engine. A failing operation reports why in
// one step: `return FormatErrorMessage("...", ...);` both records the text and
// yields the 0 result. The shell shows the text when start-up stops.
//
// Error levels used across the engine:
// - a failure that stops start-up or refuses a file: FormatErrorMessage, and
//   the operation returns 0 / false / null;
// - a missing optional resource or a command that does not apply: no text,
//   a neutral result; the caller carries on without it.
#pragma once

namespace tge {

// Longest text kept, including the ending zero; longer texts are cut.
constexpr int kErrorMessageSize = 512;

int FormatErrorMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
const char* GetErrorMessage();
void ClearErrorMessage();

}  // namespace tge
